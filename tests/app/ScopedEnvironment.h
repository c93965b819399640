#pragma once
// Environment variables changed for one scope and restored at its end.
#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

class TScopedEnvironment {
 public:
  TScopedEnvironment() = default;
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;
  ~TScopedEnvironment() {
    for (auto it = Saved_.rbegin(); it != Saved_.rend(); ++it) Put(it->first, it->second);
  }

  // Nothing unsets the variable.
  void Set(const char* name, const std::optional<QByteArray>& value) {
    Saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name))
                                                              : std::nullopt);
    Put(name, value);
  }

 private:
  static void Put(const QByteArray& name, const std::optional<QByteArray>& value) {
    if (value)
      qputenv(name.constData(), *value);
    else
      qunsetenv(name.constData());
  }
  std::vector<std::pair<QByteArray, std::optional<QByteArray>>> Saved_;
};
