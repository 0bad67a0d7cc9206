// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QByteArray>
#include <QString>

namespace orva {

/// The rules of the update folder that keep the update from touching or running anything outside
/// it. Headless; shared by the program and the update program.
namespace UpdateFolder {

/// The folders of downloads in progress and of checked patches, inside the update folder.
inline constexpr char kDownload[] = "download";
inline constexpr char kExtract[] = "extract";

/// Whether `folder` may serve as the update folder: an absolute path of an existing folder.
/// An empty or relative one would make the update work in whatever folder the program was
/// started from.
Status check(const QString &folder);
/// Deletes the files directly inside `folder`/`sub` ("extract", "download"). A link is removed
/// as a link, never followed; a `sub` that is itself a link is left alone. Errors are ignored.
void clean(const QString &folder, const char *sub);
/// The SHA-256 of the file at `path` in lower-case hex; empty when it cannot be read.
QByteArray sha256(const QString &path);
/// The patch `name` inside `folder`/extract, when it may be started: a plain file name, a
/// regular executable file (no link) inside the canonical extract folder, whose SHA-256 is
/// `sha256Hex`. Its canonical path, or why not.
Result<QString>
checkedPatch(const QString &folder, const QByteArray &name, const QByteArray &sha256Hex);

} // namespace UpdateFolder

} // namespace orva
