// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Feeds arbitrary bytes to the parameter-file reader: it must refuse or accept every input
// without a crash, and whatever it accepts must survive a write and a second read unchanged.

#include "core/files/paramfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto decoded = divograf::decodeParameters(bytes);
    if (const auto *records = std::get_if<divograf::ParameterRecords>(&decoded)) {
        const QByteArray again = divograf::encodeParameters(*records);
        if (again.size() != divograf::ParameterFileLength)
            std::abort();
        const auto reread = divograf::decodeParameters(again);
        if (!std::holds_alternative<divograf::ParameterRecords>(reread)
            || std::get<divograf::ParameterRecords>(reread) != *records)
            std::abort();
    }
    return 0;
}
