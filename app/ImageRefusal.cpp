#include "ImageRefusal.h"

namespace {

QString FieldText(varo::ImageField field) {
  switch (field) {
    case varo::ImageField::FirstFloorIndex: return "İlk Kat sırası (bayt 244)";
    case varo::ImageField::FrameCount: return "Frame sayısı (bayt 245)";
    case varo::ImageField::LastFloorIndex: return "Son Kat sırası (bayt 247)";
  }
  return {};
}

}  // namespace

QString RefusedFieldText(const varo::EImageRefused& e) {
  return QStringLiteral("%1 %2; %3 ile %4 arasında olmalı")
      .arg(FieldText(e.Field))
      .arg(e.Value)
      .arg(e.Lowest)
      .arg(e.Highest);
}

QString ProjectFileRefusalText(const QString& path, const varo::EImageRefused& e) {
  return QStringLiteral("Ayar dosyası açılamadı: %1\n").arg(path) + RefusedFieldText(e);
}

QString ReadRefusalText(const varo::EImageRefused& e) {
  return QStringLiteral("Cihazdan okunan ayarlar alınmadı, proje değişmedi:\n") + RefusedFieldText(e);
}
