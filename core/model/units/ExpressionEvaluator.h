#pragma once
#include "TarnApi.h"

// Evaluates the arithmetic typed into a length field: numbers, + - * /, unary minus at the start
// of a term and parentheses. Commas count as decimal points, other printable characters are
// ignored, trailing operators are dropped, a division by zero gives 0. Returns -HUGE_VAL for
// empty or malformed text. The text is not modified.
TARN_API double EvaluateExpression(const char* text);
