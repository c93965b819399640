#pragma once
// StatusBar1: a yellow bar with two text panels (60 and 50 pixels wide).
#include <QString>
#include <QWidget>
#include <array>

class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  explicit TStatusBar(QWidget* parent = nullptr);

  static constexpr int PanelCount = 2;
  QString PanelText(int panel) const { return Texts_.at(panel); }
  void SetPanelText(int panel, const QString& text);
  int PanelWidth(int panel) const { return Widths_.at(panel); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<QString, PanelCount> Texts_;
  std::array<int, PanelCount> Widths_{60, 50};
};
