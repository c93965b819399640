#pragma once
// How the window names a field of a refused image, for a file and for a read alike.
#include <QString>

#include "core/DeviceImage.h"

// e.g. "Frame sayısı (bayt 245) 0; 1 ile 61 arasında olmalı"
QString RefusedFieldText(const varo::EImageRefused& e);

// The window's refusals whole: a project file at `path`, and an image read from the indicator.
QString ProjectFileRefusalText(const QString& path, const varo::EImageRefused& e);
QString ReadRefusalText(const varo::EImageRefused& e);
