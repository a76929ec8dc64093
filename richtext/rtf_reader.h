#pragma once
// The RTF reader's machinery, shared by its two source files: the token loop
// with its destinations (rtf_reader.cpp) and the control words
// (rtf_control_words.cpp). Use ReadRtf (rtf.h) rather than this.

#include "richtext/rtf_codepage.h"
#include "richtext/rtf_document_builder.h"
#include "richtext/rtf_keywords.h"
#include "richtext/rtf_reader_state.h"
#include "richtext/rtf_tokenizer.h"

#include <QTextDocument>

#include <string>
#include <string_view>
#include <vector>

namespace rtf {

// Deeper groups are skipped whole; real documents stay far below this.
inline constexpr std::size_t kMaxDepth = 256;
// A \ucN larger than this is taken as this.
inline constexpr int kMaxFallback = 16;

class Reader {
public:
    explicit Reader(QTextDocument *doc) : m_builder(doc) {}

    // False when the document is beyond a text box's bounds (Overflow says how).
    bool Read(std::string_view data);
    QString Overflow() const { return m_builder.Overflow(); }

private:
    GroupState &State() { return m_stack.back(); }
    bool InGroup() const { return !m_stack.empty(); }

    void OnSkippedToken(TokenType type);
    void OnGroupStart();
    void OnGroupEnd();
    void OnControlWord(const Token &token);
    void OnWord(const Token &token, const KeywordInfo &info);
    void OnDestinationEnd(const GroupState &closed);
    void OnParagraphEnd();
    void SettleShownNumber();
    ListLevel *CurrentListLevel();
    void OnControlSymbol(char symbol);
    void OnBytes(std::string_view bytes);
    void OnFallbackSkipped(std::string_view &bytes);
    void AppendBytes(std::string_view bytes);
    void AppendString(const QString &text);
    void FlushBytes();
    void FinishFontEntry();
    void SkipCurrentGroup();
    int CurrentCodePage() const;

    std::vector<GroupState> m_stack;
    bool m_started = false;
    bool m_skipping = false;
    bool m_skipPopsState = false; // the skipped group had a state pushed
    int m_skipNesting = 0;        // groups open inside the skipped one
    int m_fallbackLeft = 0;       // \uN fallback bytes still to skip
    bool m_formatDirty = true;
    ParaProps m_lastParagraph;    // the root group's, once it is closed

    std::string m_bytes;          // undecoded bytes of the current code page
    int m_bytesCodePage = 0;
    Tables m_tables;
    int m_fontEntry = 0;          // font table entry being read
    QString m_fontName;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourGiven = false;

    bool m_starred = false;       // \* came last: an ignorable destination follows
    QString m_fieldInstruction;   // of the field being read
    Numbering m_numbering;        // the \pn group being read
    QString m_shownNumber;        // \pntext or \listtext of the paragraph
    QTextCharFormat m_shownNumberFormat;
    QString m_levelText;          // \leveltext being read
    bool m_listAccepted = false;  // the \list being read is kept
    bool m_levelAccepted = false; // and so is its \listlevel being read

    CodePageDecoder m_decoder;
    DocumentBuilder m_builder;
};

} // namespace rtf
