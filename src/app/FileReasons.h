// The reasons the viewer's messages give after their fixed text ("… が開けません"), in
// Japanese, made from the problem codes of the core.
#pragma once

#include "model/FileProblem.h"

#include <QString>

#include <string>

// E.g. "ファイルが面のデータの途中で終わっています（5 面中 3 番目の面）（400 バイト目）".
QString JapaneseReason(const CFileProblem& problem);
// An errno in Japanese; `text` (the system's own words) is shown for errors not listed and
// for a reason that has no number.
QString JapaneseSystemError(int error, const std::string& text);
