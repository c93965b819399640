#include "window/ImageRefusal.h"

#include <QStringList>

namespace {

QString FieldText(varo::ImageField field) {
  switch (field) {
    case varo::ImageField::FirstFloorIndex: return "İlk Kat sırası (bayt 244)";
    case varo::ImageField::FrameCount: return "Frame sayısı (bayt 245)";
    case varo::ImageField::CodeSystem: return "Kod sistemi (bayt 246)";
    case varo::ImageField::LastFloorIndex: return "Son Kat sırası (bayt 247)";
  }
  return {};
}

}  // namespace

QString RefusedFieldText(const varo::EImageRefused& e) {
  const QString field = QStringLiteral("%1 %2; ").arg(FieldText(e.Field)).arg(e.Value);
  if (e.OfRange)
    return field + QStringLiteral("%1 ile %2 arası katlar için %3 olmalı").arg(e.RangeFirst).arg(e.RangeLast).arg(e.Lowest);
  if (!e.Allowed.empty()) {
    QStringList values;
    for (int v : e.Allowed) values << QString::number(v);
    const QString last = values.takeLast();
    return field + values.join(", ") + QStringLiteral(" ya da %1 olmalı").arg(last);
  }
  return field + QStringLiteral("%1 ile %2 arasında olmalı").arg(e.Lowest).arg(e.Highest);
}

QString ProjectFileRefusalText(const QString& path, const varo::EImageRefused& e) {
  return QStringLiteral("Ayar dosyası açılamadı: %1\n").arg(path) + RefusedFieldText(e);
}

QString ReadRefusalText(const varo::EImageRefused& e) {
  return QStringLiteral("Cihazdan okunan ayarlar alınmadı, proje değişmedi:\n") + RefusedFieldText(e);
}
