#include "features/sheet/SheetFile.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cerrno>
#include <cmath>

#include "shell/NativePath.h"
#include "shell/VaroApplication.h"
#include "core/ErrorText.h"
#include "core/FileErrorCodes.h"
#include "features/sheet/SheetTarget.h"

namespace {

const char* const Heading = "Kat sayfası kaydedilemedi";

// As a project file's save says it: the path, the system's words, what to do; and, only where
// there was a file, that it is as it was.
QString NotWritten(const QString& path, bool existed, int error, const QString& qtWhy) {
  const std::string message =
      error != 0 ? varo::FileErrorMessage(Heading, varo::FileErrorText(error), NativePath(path),
                                          varo::FileErrorAdvice(error))
                 : std::string(Heading) + ": " + NativePath(path) + "\n" + qtWhy.toStdString();
  return QString::fromStdString(message) + (existed ? QString::fromUtf8("\nVar olan dosyaya dokunulmadı.") : QString());
}

// A device, FIFO, socket or folder under that name is never replaced by a page.
QString RefuseNonRegularFile(const QString& path) {
  const std::string kind = SheetTargetKind(path);
  if (kind.empty()) return {};
  return QString::fromStdString(std::string(Heading) + ": " + NativePath(path) + "\nBu bir " +
                                kind + ", dosya değil; ona dokunulmadı.");
}

// The whole file in one write to a temporary file that replaces the old one only
// once it is complete.
QString WriteWhole(const QString& path, const QByteArray& bytes) {
  const bool existed = SheetTargetExists(path);
  QSaveFile file(path);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return NotWritten(path, existed, errno, file.errorString());
  if (file.write(bytes) != bytes.size()) {
    // A write that comes up short has found the disk full (or a file size limit).
    const int error = errno != 0 ? errno : varo::DiskFullCode;
    const QString why = file.errorString();
    file.cancelWriting();
    return NotWritten(path, existed, error, why);
  }
  errno = 0;
  if (!file.commit()) return NotWritten(path, existed, errno, file.errorString());
  return {};
}

}  // namespace

QString WriteSheetPdf(const QString& path, const TSheet& sheet) {
  if (const QString refusal = RefuseNonRegularFile(path); !refusal.isEmpty()) return refusal;
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(300);
    writer.setCreator(QString::fromUtf8(ApplicationTitle));
    writer.setTitle(QString::fromUtf8(SheetHeading));
    QPainter painter(&writer);
    PaintSheet(painter, QSizeF(varo::A4WidthMm, varo::A4HeightMm), sheet);
  }
  return WriteWhole(path, pdf.data());
}

QString WriteSheetPng(const QString& path, const TSheet& sheet) {
  if (const QString refusal = RefuseNonRegularFile(path); !refusal.isEmpty()) return refusal;
  const double pixelsPerMm = SheetPngDpi / 25.4;
  QImage image(static_cast<int>(std::lround(varo::A4WidthMm * pixelsPerMm)),
               static_cast<int>(std::lround(varo::A4HeightMm * pixelsPerMm)), QImage::Format_RGB32);
  image.setDotsPerMeterX(static_cast<int>(std::lround(pixelsPerMm * 1000)));
  image.setDotsPerMeterY(image.dotsPerMeterX());
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PaintSheet(painter, QSizeF(varo::A4WidthMm, varo::A4HeightMm), sheet);
  }
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  image.save(&png, "PNG");
  return WriteWhole(path, png.data());
}
