// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <functional>
#include <optional>

class QIODevice;

// Writes a file through a temporary one in the same folder that replaces `path` only once
// everything was written, so a save that fails leaves no half file behind and an existing
// file untouched. `write` puts the content on the device it is given and returns false,
// with the reason, if it could not make it; every write it makes is carried out whole or
// fails with the system's own reason ("No space left on device"), which the returned
// message names.
using Writer = std::function<bool(QIODevice &device, QString &why)>;
std::optional<QString> saveFile(const QString &path, const Writer &write);
