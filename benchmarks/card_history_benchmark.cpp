// Undo and redo on the largest shipped template, and the longest pause of
// the window's event loop while typing with crash recovery writing.
//   build/benchmarks/card_history_benchmark --benchmark_repetitions=5
// Undo/Redo/<step>: one undo and one redo of the step (so half is one).
// TypingPause/50: max_pause_ms is the longest a key press, or one turn of
// the event loop (recovery's snapshot included), kept the window busy while
// 300 characters were typed with copies written every 50 ms; TypingPause/0
// is the same without recovery.
#include "app/frm_main.h"
#include "card/card_document.h"
#include "card/card_file.h"
#include "card/card_recovery.h"
#include "richtext/rich_edit_box.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// The shipped template with the most pixels.
QString LargestTemplate()
{
    const QDir templates(TESSALY_OUTPUT_DIR "/Template");
    QString largest;
    qint64 most = 0;
    for (const QString &name : templates.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = templates.filePath(name) + "/";
        const CardLayout layout = ReadCardFile(folder + "Card.crd", FreshLayout());
        const qint64 pixels = qint64(layout.Paper.CardWidth) * layout.Paper.CardHeight;
        if (pixels > most) {
            most = pixels;
            largest = folder;
        }
    }
    return largest;
}

void UndoRedo(benchmark::State &state, int step)
{
    const QString folder = LargestTemplate();
    auto document = TCardDocument::Open(folder + "template.bmp");
    int text = 0;
    while (text < TextSlotCount && !document->Text(text))
        ++text;
    SlotRect r = document->Layout().Pictures[0].Rect;
    switch (step) {
    case 0:
        r.Left += 30;
        r.Right += 30;
        document->MoveElement({TCardElement::TKind::PictureFrame, 0, 0}, r, TCardDocument::TMoveKind::Move);
        break;
    case 1: {
        SlotRect box = document->Layout().Texts[text].Rect;
        box.Right += 40;
        document->MoveElement({TCardElement::TKind::TextBox, text, 0}, box, TCardDocument::TMoveKind::Resize);
        break;
    }
    case 2:
        QTextCursor(document->Text(text)).insertText("Happy birthday");
        break;
    case 3: {
        CardLayout layout = document->Layout();
        layout.Paper.CardWidth = layout.Paper.CardWidth * 5 / 4;
        layout.Paper.CardHeight = layout.Paper.CardHeight * 5 / 4;
        document->ChangeLayout(layout, "paper set");
        break;
    }
    case 4: {
        // A 24-megapixel photo.
        QImage photo(6000, 4000, QImage::Format_RGB32);
        photo.fill(qRgb(40, 120, 200));
        document->ChangePicture(0, ChosenCardPicture(photo));
        break;
    }
    }
    state.SetLabel(QDir(folder).dirName().toStdString());
    for (auto _ : state) {
        document->Undo();
        document->Redo();
    }
}

// range(0): the recovery delay in ms; 0 runs without recovery, for comparison.
void TypingPause(benchmark::State &state)
{
    const QString folder = LargestTemplate();
    QTemporaryDir data;
    Tfrmmain form;
    const int delay = int(state.range(0));
    if (delay > 0) {
        form.StartRecovery(data.path() + "/recovery");
        form.Recovery()->DelayMs = delay;
    }
    form.show();
    form.CardPath = folder + "template.bmp";
    form.OpenCardFolder();
    TRichEditBox *box = form.TextBoxes().value(0);
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    const QString words = QStringLiteral("Many happy returns of the day ");
    double longest = 0;
    for (auto _ : state) {
        for (int i = 0; i < 300; ++i) {
            QElapsedTimer key;
            key.start();
            QTest::keyClick(box, words.at(i % words.size()).toLatin1());
            longest = std::max(longest, key.nsecsElapsed() / 1e6);
            QElapsedTimer loop;
            loop.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, loop.nsecsElapsed() / 1e6);
            // Keys come about every 20 ms when someone types fast; the
            // recovery timer fires in between, as it would.
            QTest::qWait(5);
        }
    }
    state.counters["max_pause_ms"] = longest;
    if (delay > 0) {
        form.Recovery()->WaitForWriting();
        // The copy was written while typing: the benchmark measured what it claims.
        state.counters["copy_written"] = QFile::exists(form.Recovery()->SessionFolder() + "card.path") ? 1 : 0;
        form.Recovery()->Discard();
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char *steps[] = {"MoveFrame", "ResizeBox", "Typing", "PaperSet", "Picture24MP"};
    for (int step = 0; step < 5; ++step)
        benchmark::RegisterBenchmark((std::string("Undo/Redo/") + steps[step]).c_str(),
                                     [step](benchmark::State &state) { UndoRedo(state, step); })
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TypingPause", TypingPause)
        ->Arg(50)
        ->Arg(0)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
