#pragma once
// The frame the text tests set directly.
#include "model/PlainTextFrame.h"

using FakeTextFrame = PlainTextFrame;
