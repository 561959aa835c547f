// The saved .dat file for arbitrary titles and tables, along the program's own path: the title
// box (pasted into, and set by the program), the memo text, the file bytes, the save. The file
// either is not written because a number has no text (one of the floating-point messages), or
// holds exactly one title line and one "x y" line per table entry, each ended by CR LF, with no
// other CR or LF; a pasted title never holds a line break.
#include "FloatErrors.h"
#include "NumberText.h"
#include "ProfileFile.h"
#include "ProfileText.h"
#include "SingleLineValidator.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

QString File;
QLineEdit* Edit2 = nullptr;
QPlainTextEdit* Memo1 = nullptr;

[[noreturn]] void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

/// Reads the input: a title length byte, the title's bytes (any UTF-8, valid or not), a cursor
/// byte for the paste, then x and y as raw 64-bit patterns.
void ReadInput(const std::uint8_t* data, std::size_t size, std::string& title, int& cursor,
               std::vector<TContourPoint>& table)
{
    std::size_t at = 0;
    const std::size_t length = size > 0 ? data[at++] : 0;
    title.assign(reinterpret_cast<const char*>(data + at), std::min(length, size - at));
    at += title.size();
    cursor = at < size ? data[at++] : 0;
    TContourPoint p;
    while (at + 16 <= size) {
        std::memcpy(&p.x, data + at, 8);
        std::memcpy(&p.y, data + at + 8, 8);
        at += 16;
        table.push_back(p);
    }
}

bool HasBreak(const QString& text)
{
    for (const QChar c : text)
        if (IsLineBreak(c.unicode()))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // The application lives as long as the process: the fuzzer ends it with exit(), where the
    // order of static destructors would tear the widgets down after it.
    static int argc = 1;
    static char name[] = "fuzz_datfile";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    Edit2 = new QLineEdit(QStringLiteral("Test-Zovori"));
    Edit2->setValidator(new TSingleLineValidator(Edit2));
    Memo1 = new QPlainTextEdit;
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    File = QStringLiteral("%1/fuzz_datfile.%2.dat").arg(QString::fromLatin1(dir)).arg(getpid());
    std::atexit([] { std::remove(File.toLocal8Bit().constData()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string title;
    int cursor = 0;
    std::vector<TContourPoint> table;
    ReadInput(data, size, title, cursor, table);
    const QString pasted = QString::fromUtf8(title);

    // Pasted into the box at the cursor: the box keeps one line.
    Edit2->setText(QStringLiteral("Test-Zovori"));
    Edit2->setCursorPosition(cursor % 12);
    Edit2->insert(pasted);
    if (HasBreak(Edit2->text()))
        Fail("line break in the title box", Edit2->text().toStdString());
    // Up to its first line break or NUL, a tab as a blank, no other control character.
    QString kept;
    for (const QChar c : pasted) {
        const char16_t u = c.unicode();
        if (u == 0 || IsLineBreak(u))
            break;
        if (u == u'\t')
            kept += QLatin1Char(' ');
        else if (u >= 0x20 && (u < 0x7F || u > 0x9F))
            kept += c;
    }
    QString expected = QStringLiteral("Test-Zovori");
    expected.insert(cursor % 12, kept);
    if (Edit2->text() != expected)
        Fail("pasted title", Edit2->text().toStdString() + " instead of " + expected.toStdString());

    // Set by the program, line breaks and all: the file still gets one title line.
    Edit2->setText(pasted);
    std::string text;
    try {
        text = ProfileText(Edit2->text().toStdString(), table);
    } catch (const EMathError& error) {
        const std::string m = error.what();
        if (m != "Ungültige Gleitkommaoperation" && m != "Gleitkommaüberlauf")
            Fail("message", m);
        for (const TContourPoint& p : table)
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::fabs(p.x) > 1.79769313486231e308 ||
                std::fabs(p.y) > 1.79769313486231e308)
                return 0;
        Fail("no number to explain the message", m);
    }
    Memo1->setPlainText(QString::fromStdString(text));
    WriteProfileFile(File, DatFileBytes(Memo1->toPlainText().toStdU32String()));
    QFile file(File);
    if (!file.open(QIODevice::ReadOnly))
        Fail("cannot read the file back");
    const QByteArray bytes = file.readAll();

    // Lines ended by CR LF, no CR or LF anywhere else, nothing after the last CR LF.
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.push_back(bytes.mid(start, i - start));
            start = i + 2;
            ++i;
        } else if (bytes[i] == '\r' || bytes[i] == '\n') {
            Fail("lone CR or LF at", std::to_string(i));
        }
    }
    if (start != bytes.size())
        Fail("bytes after the last CR LF");
    if (lines.size() != table.size() + 1)
        Fail("line count", std::to_string(lines.size()) + " for " + std::to_string(table.size()) + " entries");
    // The title line: one byte per character the box keeps of it, ASCII as it is, no control byte.
    const std::u32string firstLine = kept.toStdU32String();
    for (const char b : lines[0])
        if (static_cast<unsigned char>(b) < 0x20 || b == 0x7F)
            Fail("control byte in the title line", lines[0].toStdString());
    if (lines[0].size() != qsizetype(firstLine.size()))
        Fail("title line length", lines[0].toStdString());
    for (std::size_t i = 0; i < firstLine.size(); ++i)
        if (firstLine[i] < 0x80 && lines[0][qsizetype(i)] != char(firstLine[i]))
            Fail("title character", std::to_string(i));
    for (std::size_t k = 0; k < table.size(); ++k) {
        const std::string want = FloatToText(table[k].x) + ' ' + FloatToText(table[k].y);
        if (lines[k + 1].toStdString() != want)
            Fail("number line", lines[k + 1].toStdString() + " instead of " + want);
    }
    return 0;
}
