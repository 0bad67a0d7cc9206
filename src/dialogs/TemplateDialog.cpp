// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TemplateDialog.h"

#include "dialogs/GraphicPaintDC.h"
#include "dialogs/QS_ListControl.h"
#include "report/Palette.h"
#include "support/StringTable.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimerEvent>

namespace orva {

namespace {

constexpr int kOkId = 1;
constexpr int kCancelId = 2;
/// The height of one text line in vertical dialog units.
constexpr int kDialogUnitsPerLine = 8;

} // namespace

/// What the dialog's tool tip needs of the window system; the box is a tool-tip window.
class TemplateDialog::ToolTipHost final : public CToolTip::Host
{
public:
    explicit ToolTipHost(TemplateDialog &dialog)
        : m_dialog(dialog)
    { }

    void setTimer(int, int ms) override { m_dialog.m_toolTipTimer.start(ms, &m_dialog); }
    void stopTimer(int) override { m_dialog.m_toolTipTimer.stop(); }
    void showBox(const QRect &rect, const QString &text) override
    {
        QLabel *box = m_dialog.m_toolTipBox;
        if (!box) {
            box = new QLabel(&m_dialog, Qt::ToolTip); // a child of the dialog, gone with it
            box->setAlignment(Qt::AlignCenter);
            box->setFrameStyle(QFrame::Box | QFrame::Plain);
            box->setAutoFillBackground(true);
            box->setForegroundRole(QPalette::ToolTipText);
            box->setBackgroundRole(QPalette::ToolTipBase);
            m_dialog.m_toolTipBox = box;
        }
        box->setText(text);
        box->setGeometry(rect);
        box->show();
        box->raise();
    }
    void hideBox() override
    {
        if (m_dialog.m_toolTipBox)
            m_dialog.m_toolTipBox->hide();
    }
    bool isActive() const override { return m_dialog.isActiveWindow(); }
    QRect ownerRect() const override
    {
        return QRect(m_dialog.mapToGlobal(QPoint(0, 0)), m_dialog.size());
    }
    QRect desktopRect() const override
    {
        const QScreen *screen = m_dialog.screen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    }
    int charHeight() const override { return m_dialog.fontMetrics().height(); }
    int averageCharWidth() const override { return m_dialog.fontMetrics().averageCharWidth(); }

private:
    TemplateDialog &m_dialog;
};

/// A painted static: paints through the drawing surfaces with the painter its dialog sets.
class TemplateDialog::PaintArea final : public GraphicPaintDC
{
public:
    using GraphicPaintDC::GraphicPaintDC;

    void paint(DrawingSurface &surface) override
    {
        if (painter)
            painter(surface);
    }

    std::function<void(DrawingSurface &)> painter;
};

TemplateDialog::TemplateDialog(const DialogTemplate &dialogTemplate,
                               const StringTable &strings,
                               QWidget *parent,
                               const QFont *font)
    : QDialog(parent)
    , m_template(dialogTemplate)
    , m_strings(strings)
    , m_units(1, 1)
{
    if (font)
        setFont(*font);
    m_units = DialogUnits::fromFont(this->font());
    setWindowTitle(strings.text(m_template.titleId));
    setFixedSize(m_units.toPixels(m_template.size));

    QButtonGroup *group = nullptr;
    QList<QWidget *> frames;
    for (const DialogControl &control : std::as_const(m_template.controls)) {
        QWidget *widget = createControl(control, m_units.toPixels(control.rect));
        if (!widget)
            continue;
        if (control.kind == ControlKind::GroupBox)
            frames.append(widget);
        if (control.kind == ControlKind::RadioButton) {
            if (control.groupStart || !group)
                group = new QButtonGroup(this);
            group->addButton(static_cast<QAbstractButton *>(widget), control.id);
            m_groupOf.insert(control.id, group);
        }
        if (control.id != DialogControl::kNoId)
            m_controls.insert(control.id, widget);
        watchMouse(widget);
    }
    // Frames are drawn behind the controls they hold, whatever their place in the template.
    for (QWidget *frame : std::as_const(frames))
        frame->lower();
    watchMouse(this);

    m_toolTipHost = std::make_unique<ToolTipHost>(*this);
    m_toolTip = std::make_unique<CToolTip>(*m_toolTipHost, strings);
    for (const DialogControl &control : std::as_const(m_template.controls)) {
        QWidget *widget = m_controls.value(control.id);
        if (control.toolTipId >= 0 && widget)
            addToolTip(widget, control.toolTipId);
    }
}

void TemplateDialog::addToolTip(QWidget *widget, int textId)
{
    CToolTip::Area area;
    area.key = widget;
    area.rect = widget->geometry();
    area.textId = textId;
    area.visible = [widget = QPointer<QWidget>(widget)] { return widget && widget->isVisible(); };
    m_toolTip->addArea(std::move(area));
    watchMouse(widget); // installed twice, the filter still runs once
}

TemplateDialog::~TemplateDialog() = default;

QWidget *TemplateDialog::createControl(const DialogControl &control, const QRect &pixels)
{
    const QString text =
        control.textKey.isEmpty() ? QString() : m_strings.text(m_template.textKey(control));
    QWidget *widget = nullptr;
    switch (control.kind) {
    case ControlKind::Static: {
        auto *label = new QLabel(text, this);
        label->setAlignment(Qt::AlignTop | (control.centred ? Qt::AlignHCenter : Qt::AlignLeft));
        if (control.rect.height() >= 2 * kDialogUnitsPerLine) {
            label->setWordWrap(true);
        } else if (!control.centred) {
            // A one-line text that a wider font makes longer than its box would lose its end
            // to the wrap; it runs on to the right instead, where the templates leave room.
            label->setGeometry(pixels.x(), pixels.y(),
                               std::max(pixels.width(), label->sizeHint().width()),
                               pixels.height());
            return label;
        }
        widget = label;
        break;
    }
    case ControlKind::GroupBox:
        widget = new QGroupBox(text, this);
        break;
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto *button = new QPushButton(text, this);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        button->setAutoDefault(control.kind == ControlKind::DefaultPushButton);
        if (control.id == kOkId)
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
        else if (control.id == kCancelId)
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
        widget = button;
        break;
    }
    case ControlKind::RadioButton:
        widget = new QRadioButton(text.trimmed(), this);
        break;
    case ControlKind::CheckBox:
        widget = new QCheckBox(text, this);
        break;
    case ControlKind::DropDownList: {
        auto *list = new QComboBox(this);
        list->setEditable(false);
        // The template's height includes the dropped-down list; the closed box is one line.
        widget = list;
        widget->setGeometry(pixels.x(), pixels.y(), pixels.width(),
                            std::min(pixels.height(), list->sizeHint().height()));
        return widget;
    }
    case ControlKind::Edit:
        widget = new QLineEdit(text, this);
        break;
    case ControlKind::TrackBar:
        widget = new QSlider(Qt::Horizontal, this);
        break;
    case ControlKind::ProgressBar: {
        auto *bar = new QProgressBar(this);
        bar->setTextVisible(false);
        widget = bar;
        break;
    }
    case ControlKind::ReportList:
        widget = new QS_ListControl(this);
        break;
    case ControlKind::PaintedStatic: {
        if (!m_palette)
            m_palette = std::make_unique<Palette>(palette());
        auto area = std::make_unique<PaintArea>(*m_palette);
        area->setRect(pixels);
        widget = area->create(this, control.id, control.toolTipId, false);
        m_paintAreas.push_back(std::move(area));
        return widget;
    }
    case ControlKind::Icon: {
        auto *icon = new QLabel(this);
        icon->setPixmap(QApplication::windowIcon().pixmap(pixels.size()));
        icon->setAlignment(Qt::AlignCenter);
        widget = icon;
        break;
    }
    }
    widget->setGeometry(pixels);
    return widget;
}

QButtonGroup *TemplateDialog::radioGroup(int buttonId) const
{
    return m_groupOf.value(buttonId);
}

void TemplateDialog::checkInGroup(QButtonGroup *group, int buttonId)
{
    if (!group)
        return;
    if (QAbstractButton *button = group->button(buttonId)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group will not uncheck its checked button; it may hold none all the same.
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

void TemplateDialog::setPainter(int id, std::function<void(DrawingSurface &)> painter)
{
    for (const std::unique_ptr<PaintArea> &area : m_paintAreas) {
        if (area->id() == id) {
            area->painter = std::move(painter);
            if (area->window())
                area->window()->update();
            return;
        }
    }
}

void TemplateDialog::watchMouse(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool TemplateDialog::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint screen = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        m_toolTip->mouseMove(screen, mapFromGlobal(screen));
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_toolTip->mouseClick();
        break;
    case QEvent::Hide:
        if (watched == this) {
            m_toolTipTimer.stop();
            m_toolTipHost->hideBox();
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TemplateDialog::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_toolTipTimer.timerId()) {
        m_toolTip->timer();
        return;
    }
    QDialog::timerEvent(event);
}

} // namespace orva
