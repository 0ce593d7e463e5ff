#pragma once
// The inverse of a by-name text edit, as the text layer records it: the method's name, its
// arguments (last one first, as a dispatch call lists them) and the description string id. The
// control's COM face turns it into an undo call record; undoing calls the method by name.
#include <memory>
#include <string>
#include <vector>

#include "model/TextModel.h"

// The formats of a range of characters, with the defaults for new text that the range edits also
// change, so that putting it back restores the text as it was.
struct TextRangeFormat {
    std::vector<TextCharRecord> chars;
    int32_t defaultFont = 0;
    double fontX = 0, fontY = 0;
};

struct TextUndoArgument {
    enum Kind { kInteger, kReal, kTextData, kRangeFormat } kind = kInteger;
    long integer = 0;
    double real = 0;
    std::shared_ptr<const TextSnapshot> textData;                    // the TextData object
    std::shared_ptr<const TextRangeFormat> rangeFormat;              // the range format object

    static TextUndoArgument Integer(long v) { TextUndoArgument a; a.integer = v; return a; }
    static TextUndoArgument Real(double v) { TextUndoArgument a; a.kind = kReal; a.real = v; return a; }
};

struct TextUndoCall {
    std::wstring method;
    std::vector<TextUndoArgument> arguments;  // in call order
    int description = 0;                      // string id in the controls' resource library
};

class TextUndoSink {
public:
    virtual ~TextUndoSink() = default;
    virtual void Record(const TextUndoCall& call) = 0;
};
