#pragma once

#include <QByteArrayView>

class QTextDocument;

struct RtfReadResult
{
    enum class Status {
        Ok, // the outer group was read up to its closing brace
        Incomplete, // the text ends inside a group or an escape; what came before was read
        Bad, // no "{\rtf" at the start: the document holds the bytes as plain UTF-8 text
    };
    Status status = Status::Bad;
};

// Replaces the document's content with the text of a rich-text file as a word processor saves
// it: groups, paragraphs and line breaks, tabs, bold, italics, underline, font sizes, \'hh
// bytes in the file's code page, \uN characters with their fallback skipped. Font, colour and
// style tables, pictures, document information and every other destination are left out;
// unknown control words are read over. Any input is read in one pass: deep nesting is
// flattened and nothing is allocated beyond the text itself.
RtfReadResult ReadRtf(QByteArrayView rtf, QTextDocument &document);
