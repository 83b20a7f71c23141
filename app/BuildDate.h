#pragma once

#include <QString>

// The build date as "yyyyMMdd" from a compiler date text such as __DATE__ ("Dec  8 2026":
// English month, day padded with a blank). Empty for a text that is no such date.
QString buildDateText(const QString& compilerDate);

// The date this program was compiled, as "yyyyMMdd".
QString buildDate();
