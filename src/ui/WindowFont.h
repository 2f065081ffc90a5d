#pragma once

#include <QFont>

// The windows' font: "宋体" at a 13-pixel character height, or the installed
// CJK font that stands in for it where "宋体" is absent.
QFont WindowFont();
