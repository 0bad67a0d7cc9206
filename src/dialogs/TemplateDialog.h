// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogTemplate.h"
#include "dialogs/DialogUnits.h"
#include "support/CToolTip.h"

#include <QBasicTimer>
#include <QDialog>
#include <QHash>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QButtonGroup;
class QLabel;

namespace orva {

class DrawingSurface;
class GraphicPaintDC;
class Palette;
class StringTable;

/// A dialog built from a template: every control becomes its widget at the template's
/// rectangle, converted from dialog units with the dialog's font, with its text from the string
/// table of the user-interface language. The template's default button is the default (button 1
/// in all but the wizard); button 1 accepts, button 2 rejects.
/// The dialog has its own tool tip fed from the controls' tool-tip strings. UI thread only.
class TemplateDialog : public QDialog
{
public:
    /// The timer of the dialogs' tool tips.
    static constexpr int kToolTipTimerId = 1050;

    /// `strings` must outlive the dialog. `font` overrides the dialog font the units come from.
    TemplateDialog(const DialogTemplate &dialogTemplate,
                   const StringTable &strings,
                   QWidget *parent = nullptr,
                   const QFont *font = nullptr);
    ~TemplateDialog() override;

    const DialogTemplate &dialogTemplate() const { return m_template; }
    const DialogUnits &units() const { return m_units; }

    /// The widget of control `id`, or nullptr; a template's own ids only.
    QWidget *control(int id) const { return m_controls.value(id); }
    template<class Widget> Widget *controlAs(int id) const
    {
        return qobject_cast<Widget *>(control(id));
    }
    /// The radio group that radio button `buttonId` belongs to, or nullptr.
    QButtonGroup *radioGroup(int buttonId) const;
    /// Checks `buttonId` in its group, or clears the whole group when `buttonId` is not in it.
    void checkInGroup(QButtonGroup *group, int buttonId);

    /// Sets what painted static `id` paints; called at every paint of its window.
    void setPainter(int id, std::function<void(DrawingSurface &)> painter);

    /// Gives `widget`, a child the dialog made at run time, the tool tip of resource string
    /// `textId` through the dialog's own tool tip.
    void addToolTip(QWidget *widget, int textId);
    CToolTip &toolTip() { return *m_toolTip; }
    bool isToolTipTimerActive() const { return m_toolTipTimer.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    class ToolTipHost;
    class PaintArea;

    QWidget *createControl(const DialogControl &control, const QRect &pixels);
    void watchMouse(QWidget *widget);

    DialogTemplate m_template;
    const StringTable &m_strings;
    DialogUnits m_units;
    QHash<int, QWidget *> m_controls; // owned by the dialog as their parent
    QHash<int, QButtonGroup *> m_groupOf; // by button id; the groups are children of the dialog
    std::vector<std::unique_ptr<PaintArea>> m_paintAreas;
    std::unique_ptr<Palette> m_palette; // made for the first painted static
    std::unique_ptr<ToolTipHost> m_toolTipHost;
    std::unique_ptr<CToolTip> m_toolTip;
    QBasicTimer m_toolTipTimer;
    QPointer<QLabel> m_toolTipBox;
};

} // namespace orva
