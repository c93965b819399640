// The window as its layout file builds it, before anything runs on it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QActionGroup>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>

#include "window/UMain.h"

namespace {

struct ControlCase {
  const char* Name;
  const char* Class;
  int Left, Top, Width, Height;
  const char* Text;  // caption, or the hint for tool buttons
};

// Children of a panel with a single-line border sit one pixel further in
// than the client-area positions of the layout tables.
const ControlCase kControls[] = {
    {"SpeedButton1", "QToolButton", 2, 2, 27, 27, "YENİ"},
    {"SpeedButton2", "QToolButton", 33, 2, 27, 27, "AYAR AÇ"},
    {"SpeedButton3", "QToolButton", 64, 2, 27, 27, "AYAR KAYDET"},
    {"SpeedButton4", "QToolButton", 95, 2, 27, 27, "BEYAZ DOLDUR"},
    {"SpeedButton5", "QToolButton", 126, 2, 27, 27, "KIRMIZI DOLDUR"},
    {"CheckBox1", "QCheckBox", 192, 8, 89, 17, "BUZZER"},
    {"SpeedButton18", "QToolButton", 292, 1, 30, 30, "KAT NUMARALARINI GÖRÜNTÜLE"},
    {"StaticText1", "QLabel", 332, 2, 121, 28, "FRAME : 60"},
    {"Panel1", "QFrame", 2, 32, 452, 365, nullptr},
    {"Image1", "TDisplayImage", 9 + 1, 9 + 1, 432, 345, nullptr},
    {"Panel2", "QFrame", 136, 120, 193, 145, nullptr},
    {"Bevel3", "QFrame", 8, 8, 177, 92, nullptr},
    {"Label5", "QLabel", 16, 11, 72, 14, "Kod Sistemi"},
    {"ComboBox1", "QComboBox", 16, 28, 161, 21, nullptr},
    {"Label3", "QLabel", 16, 56, 40, 14, "İlk Kat"},
    {"Label4", "QLabel", 104, 56, 49, 14, "Son Kat"},
    {"ilkkat", "QComboBox", 16, 72, 73, 21, nullptr},
    {"sonkat", "QComboBox", 104, 72, 73, 21, nullptr},
    {"BitBtn2", "QPushButton", 8, 112, 85, 25, "İPTAL"},
    {"BitBtn1", "QPushButton", 100, 112, 85, 25, "TAMAM"},
    {"Panel8", "QFrame", 459, 197, 124, 105, nullptr},
    {"Label10", "QLabel", 9 + 1, 13 + 1, 83, 13, "PORT SEÇİNİZ :"},
    {"comport", "QComboBox", 9 + 1, 39 + 1, 106, 22, nullptr},
    {"ComRefresh", "QPushButton", 10 + 1, 72 + 1, 106, 21, "PORTLARI YENİLE"},
    {"Panel4", "QFrame", 459, 312, 124, 85, nullptr},
    {"BtnRead", "QToolButton", 7 + 1, 5 + 1, 108, 25, "OKU"},
    {"Bevel6", "QFrame", -423 + 1, 40 + 1, 638, 2, nullptr},
    {"BtnWrite", "QToolButton", 7 + 1, 54 + 1, 108, 24, "YAZ"},
    {"Panel13", "QFrame", 489, 33, 73, 144, nullptr},
    {"UpBtn", "QToolButton", 3 + 1, 4 + 1, 65, 65, "Yukarı Kat (PG UP)"},
    {"DownBtn", "QToolButton", 4 + 1, 73 + 1, 65, 65, "Aşağı Kat (PG DN)"},
    {"StatusBar1", "TStatusBar", 0, 398, 588, 20, nullptr},
    {"ProgressBar1", "QProgressBar", 60, 398, 527, 19, nullptr},
    {"ComTerminal1", "TComTerminal", 480, 0, 49, 25, nullptr},
};

class Layout : public testing::Test {
 protected:
  TFmMain Window;  // not shown: FormShow has not run
};

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

}  // namespace

TEST_F(Layout, EveryControlAtItsPlaceWithItsText) {
  for (const ControlCase& c : kControls) {
    SCOPED_TRACE(c.Name);
    auto* w = Window.findChild<QWidget*>(c.Name);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->inherits(c.Class)) << w->metaObject()->className();
    EXPECT_EQ(w->geometry(), QRect(c.Left, c.Top, c.Width, c.Height));
    if (!c.Text) continue;
    const QString text = QString::fromUtf8(c.Text);
    if (auto* tool = qobject_cast<QToolButton*>(w); tool && tool->text().isEmpty())
      EXPECT_EQ(tool->toolTip(), text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
      EXPECT_EQ(button->text(), text);
    else if (auto* label = qobject_cast<QLabel*>(w))
      EXPECT_EQ(label->text(), text);
  }
  EXPECT_TRUE(Window.ComTerminal1->isHidden()) << "the terminal only receives";
}

TEST_F(Layout, WindowIsFixedAndTitled) {
  EXPECT_EQ(Window.windowTitle(), "VARO PROGRAMLAYICI");
  EXPECT_EQ(Window.minimumSize(), QSize(588, 418));
  EXPECT_EQ(Window.maximumSize(), QSize(588, 418));
  EXPECT_FALSE(Window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(Window.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(Layout, ListsAsTheLayoutLeavesThem) {
  EXPECT_EQ(Items(Window.ComboBox1),
            QStringList({"Binary Decoding", "Gray Decoding", "Sayıcı (Tek Tüp)", "Sayıcı 2", "7 Segment"}));
  EXPECT_EQ(Window.ComboBox1->currentIndex(), 1);
  QStringList first, last;
  for (int f = -8; f <= 59; ++f) first << QString::number(f);
  for (int f = 1; f <= 49; ++f) last << QString::number(f);
  EXPECT_EQ(Items(Window.ilkkat), first);
  EXPECT_EQ(Window.ilkkat->currentIndex(), 8);
  EXPECT_EQ(Items(Window.sonkat), last);
  EXPECT_EQ(Window.sonkat->currentIndex(), 14);
  for (QComboBox* box : {Window.ComboBox1, Window.ilkkat, Window.sonkat}) EXPECT_FALSE(box->isEditable());
  EXPECT_TRUE(Window.comport->isEditable());
  EXPECT_EQ(Window.comport->focusPolicy() & Qt::TabFocus, 0);
  EXPECT_EQ(Window.ComRefresh->focusPolicy() & Qt::TabFocus, 0);
}

// Every code system's text fits its 60-pixel panel whole, dark on the yellow.
TEST_F(Layout, TheStatusTextIsWholeAndLegible) {
  for (const char* text : {" Binary", " Gray", " Sayıcı 1", " Sayıcı 2", " 7 Segment"}) {
    SCOPED_TRACE(text);
    Window.StatusBar1->SetPanelText(0, QString::fromUtf8(text));
    const QRect area = Window.StatusBar1->TextRect(0);
    const QFont font = Window.StatusBar1->FittedFont(QString::fromUtf8(text), area.width());
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(QString::fromUtf8(text)), area.width());
    EXPECT_GE(QFontInfo(font).pixelSize(), 8);
    const QImage picture = Window.StatusBar1->grab().toImage();
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) dark += qGray(picture.pixel(x, y)) < 80;
    EXPECT_GT(dark, 20) << "the text is drawn dark";
  }
}

TEST_F(Layout, StatusBarProgressBarAndMenu) {
  EXPECT_EQ(Window.StatusBar1->PanelText(0), " Gray");
  EXPECT_EQ(Window.StatusBar1->PanelText(1), "");
  EXPECT_EQ(Window.StatusBar1->PanelWidth(0), 60);
  EXPECT_EQ(Window.StatusBar1->PanelWidth(1), 50);
  EXPECT_EQ(Window.StatusBar1->contextMenuPolicy(), Qt::CustomContextMenu);
  // The progress bar lies over the status bar, right of panel 0.
  EXPECT_EQ(Window.ProgressBar1->minimum(), 0);
  EXPECT_EQ(Window.ProgressBar1->maximum(), 256);
  EXPECT_GT(Window.children().indexOf(Window.ProgressBar1), Window.children().indexOf(Window.StatusBar1));
  EXPECT_EQ(Window.ProgressBar1->x(), Window.StatusBar1->PanelWidth(0));

  const QList<QAction*> items = Window.PopupMenu1->actions();
  const char* names[] = {"GRAY1", "BINARY1", "SAYICI111", "SAYICI21", "N7SEGMENT1"};
  const char* captions[] = {" BINARY", " GRAY", " SAYICI 1", " SAYICI 2", " 7 SEGMENT"};
  ASSERT_EQ(items.size(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(items[i]->objectName(), names[i]);
    EXPECT_EQ(items[i]->text(), captions[i]);
    EXPECT_TRUE(items[i]->isCheckable());
    EXPECT_EQ(items[i]->isChecked(), i == 0);
    EXPECT_EQ(items[i]->actionGroup(), Window.CodeSystemGroup);
  }
  EXPECT_TRUE(Window.CodeSystemGroup->isExclusive());
}

TEST_F(Layout, FontsColoursAndCursors) {
  EXPECT_EQ(Window.StaticText1->font().pointSize(), 16);
  EXPECT_TRUE(Window.StaticText1->font().bold());
  EXPECT_TRUE(Window.CheckBox1->font().bold());
  EXPECT_TRUE(Window.BitBtn1->font().bold());
  EXPECT_EQ(Window.BitBtn1->font().pointSize(), 9);
  EXPECT_EQ(Window.StaticText1->styleSheet(), "color: red; border: 1px solid black;");
  EXPECT_EQ(Window.Panel8->palette().color(QPalette::Window), QColor(0xFF, 0x4F, 0x4F));
  EXPECT_EQ(Window.Panel4->palette().color(QPalette::Window), QColor(0xFF, 0x80, 0x00));
  EXPECT_EQ(Window.Panel1->palette().color(QPalette::Window), QColor(0, 0, 0));
  EXPECT_EQ(Window.Label3->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
  EXPECT_EQ(Window.Label3->font().pointSize(), 9);
  EXPECT_TRUE(Window.Label3->font().bold());
  // The layout's own fonts, drawn here in the stand-ins the scripts install.
  const std::pair<QWidget*, const char*> fonts[] = {
      {&Window, "MS Sans Serif"},  {Window.ilkkat, "Tahoma"},       {Window.CheckBox1, "Tahoma"},
      {Window.Label10, "Tahoma"},   {Window.BtnRead, "Tahoma"},      {Window.StatusBar1, "Tahoma"},
      {Window.StaticText1, "Arial"}, {Window.SpeedButton18, "Arial"}, {Window.ComRefresh, "Arial"},
      {Window.comport, "Arial"},    {Window.ComTerminal1, "Fixedsys"}};
  for (const auto& [widget, family] : fonts) {
    EXPECT_EQ(widget->font().family(), family) << widget->objectName().toStdString();
    EXPECT_EQ(QFontInfo(widget->font()).family(), family == std::string("Fixedsys") ? "DejaVu Sans Mono" : "Liberation Sans")
        << widget->objectName().toStdString();
  }
  for (QWidget* w : std::initializer_list<QWidget*>{Window.SpeedButton1, Window.SpeedButton2, Window.SpeedButton3,
                                                    Window.SpeedButton4, Window.SpeedButton5, Window.SpeedButton18,
                                                    Window.Image1, Window.ComboBox1, Window.ilkkat, Window.sonkat,
                                                    Window.comport, Window.UpBtn, Window.DownBtn, Window.BtnRead,
                                                    Window.BtnWrite, Window.StatusBar1})
    EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor) << w->objectName().toStdString();
  EXPECT_EQ(Window.UpBtn->iconSize(), QSize(64, 64));
  EXPECT_FALSE(Window.UpBtn->icon().isNull());
  EXPECT_FALSE(Window.SpeedButton5->icon().isNull());
  EXPECT_TRUE(Window.UpBtn->autoRaise());
  EXPECT_TRUE(Window.SpeedButton18->autoRaise());
  EXPECT_FALSE(Window.SpeedButton1->autoRaise());
}

TEST_F(Layout, TabOrderOnTheFloorRangePanel) {
  const QWidget* order[] = {Window.ComboBox1, Window.sonkat, Window.ilkkat, Window.BitBtn1, Window.BitBtn2};
  auto nextTabStop = [](const QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
  };
  for (int i = 0; i + 1 < 5; ++i) EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << i;
}

TEST_F(Layout, FillButtonGlyphsAreAWhiteAndABlueSquare) {
  const QImage white = Window.SpeedButton4->icon().pixmap(13, 13).toImage();
  const QImage blue = Window.SpeedButton5->icon().pixmap(13, 13).toImage();
  EXPECT_EQ(white.pixelColor(6, 6), QColor(255, 255, 255));
  EXPECT_EQ(blue.pixelColor(6, 6), QColor(0, 128, 255));
  EXPECT_EQ(white.pixelColor(0, 0), QColor(0, 0, 0));
  EXPECT_EQ(blue.pixelColor(12, 12), QColor(0, 0, 0));
}
