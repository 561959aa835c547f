// The import on arbitrary bytes of one kind, as "Bild importieren …" reads a file of it: the
// program's picture or a German reason, never a crash; every page a file claims is tried up to three.
#pragma once

#include "ImageDocument.h"
#include "PictureImport.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_import {

// Far below the program's limit, so that the fuzzer's memory limit holds; every larger claim must
// be refused by the size check.
constexpr std::int64_t Limit = std::int64_t(16) << 20;

[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

inline void Initialize()
{
    // Qt's readers and Poppler comment on every damaged byte; millions of lines only slow the run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    LimitPictureBytes(Limit);
}

inline void Check(const QImage& picture)
{
    const bool grey = picture.format() == QImage::Format_Indexed8;
    if (picture.isNull() || (!grey && picture.format() != QImage::Format_BGR888))
        Fail("not the program's picture format");
    if (std::int64_t(picture.width()) * picture.height() * (grey ? 1 : 3) > Limit)
        Fail("a picture beyond the limit");
    if (grey && (picture.colorCount() != 256 || picture.color(200) != qRgb(200, 200, 200)))
        Fail("grey palette");
}

/// Runs the import when the bytes start with `magic`; `dpi` is used for PDF pages only.
inline int Run(const std::uint8_t* data, std::size_t size, const QByteArray& magic, double dpi)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!bytes.startsWith(magic))
        return 0;
    int pages = 1;
    try {
        pages = InspectPictureData(bytes).PageCount;
    } catch (const TImageError& error) {
        if (!*error.what())
            Fail("empty reason");
        return 0;
    }
    if (pages < 1)
        Fail("no pages but no refusal");
    for (int page = 1; page <= std::min(pages, 3); ++page) {
        try {
            Check(ImportPictureData(bytes, page, dpi));
        } catch (const TImageError& error) {
            if (!*error.what())
                Fail("empty reason");
        }
    }
    return 0;
}

} // namespace fuzz_import
