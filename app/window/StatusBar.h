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
  // Where a panel's text goes, and the bar's font made just small enough for the text to fit there.
  QRect TextRect(int panel) const;
  QFont FittedFont(const QString& text, int width) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<QString, PanelCount> Texts_;
  std::array<int, PanelCount> Widths_{60, 50};
};
