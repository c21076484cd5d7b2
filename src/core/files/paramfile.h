// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/files/failure.h"
#include "core/fractal/panel.h"

#include <QByteArray>
#include <QString>

class QSaveFile;

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace divograf {

// The parameter file: 13 records of 128 bytes, each a little-endian 16-bit type tag (2 or 3)
// followed by a 16-bit (tag 2) or 32-bit (tag 3) signed value and zero filler. Records in
// order: SizeFactor, Squarings, Cube, UseMoivre, Axes, Coef, RedCorr, GreenCorr, BlueCorr,
// and the spinner values num, scal, l, ampl.
inline constexpr int RecordCount = 13;
inline constexpr int RecordLength = 128;
inline constexpr int ParameterFileLength = RecordCount * RecordLength;

using ParameterRecords = std::array<StoredInt, RecordCount>;

// The 13 records' bytes.
QByteArray encodeParameters(const ParameterRecords &records);

// The records in `bytes`, or a Russian description of why they are not a parameter file.
// The whole file is checked before anything is returned.
std::variant<ParameterRecords, Failure> decodeParameters(const QByteArray &bytes);

// Writes the records to `path` without truncating a longer file, through a temporary file
// renamed into place, so that a failed write leaves the previous file as it was and a new name
// no file at all. The failure names the file and the problem.
std::optional<Failure> saveParameterFile(const QString &path, const ParameterRecords &records);

// The same in two steps, for a caller that puts several files in place together. `prepare`
// opens `file` (named with the path) and writes the whole new file into its temporary file:
// the records, then whatever the old file holds behind them, streamed. `commit` renames it
// into place; a `file` that is destroyed uncommitted leaves nothing behind.
std::optional<Failure> prepareParameterFile(QSaveFile &file, const ParameterRecords &records);
std::optional<Failure> commitParameterFile(QSaveFile &file);

// Reads and checks a parameter file. A missing file is an error and is not created.
std::variant<ParameterRecords, Failure> loadParameterFile(const QString &path);

// The text a loaded spinner value is written into its text box with: a blank or "-", the
// digits, one blank (" 7 ", " 700 ", "-10 ").
QString numberText(std::int64_t value);

} // namespace divograf
