// Qt's own texts through the message catalogs and Qt's translations; the window's own texts
// through neither. Catalogs lie beside this program in locale/: de (default and cport),
// tr (default: Yes, No, Cancel), xx (Latin-1 translations).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <optional>
#include <set>

#include "MessageBoxAnswer.h"
#include "shell/ResourceTextTranslator.h"
#include "ScopedEnvironment.h"
#include "shell/StartUp.h"
#include "window/UMain.h"
#include "gnugettext.h"

namespace {

// Collects the warnings Qt's message handler receives while it lives.
class TWarnings {
 public:
  TWarnings() { Previous_ = qInstallMessageHandler(&TWarnings::Handle); }
  ~TWarnings() { qInstallMessageHandler(Previous_); }
  static std::vector<std::string>& Said() {
    static std::vector<std::string> said;
    return said;
  }

 private:
  static void Handle(QtMsgType, const QMessageLogContext&, const QString& message) {
    Said().push_back(message.toStdString());
  }
  QtMessageHandler Previous_;
};

// Translates every text and remembers whose it was.
class TEverythingTranslator : public QTranslator {
 public:
  QString translate(const char* context, const char*, const char*, int) const override {
    Contexts.insert(context ? context : "");
    return Marker;
  }
  bool isEmpty() const override { return false; }
  static inline const QString Marker = QStringLiteral("übersetzt");
  mutable std::set<std::string> Contexts;
};

std::string Translated(const TResourceTextTranslator& translator, const char* text) {
  const QString result = translator.translate("QPlatformTheme", text);
  return result.isNull() ? "(null)" : result.toStdString();
}

}  // namespace

TEST(ResourceTextTranslator, GivesTheCatalogsTranslationsDefaultFirstAndLeavesTheRestToOthers) {
  TScopedEnvironment environment;
  environment.Set("LANG", "de");
  const TResourceTextTranslator translator;
  EXPECT_EQ(Translated(translator, "Cancel"), "(null)") << "before start-up";
  {
    const TVaroStartUp startUp;
    const std::pair<const char*, const char*> cases[] = {
        {"Cancel", "Abbrechen"},
        {"Only cport", "Nur cport"},
        {"Both domains", "Beide: default"},
        {"Line one\nLine two", "Zeile eins\nZeile zwei"},
        {"Two\nlines", "Zwei\nZeilen"},  // "default" leaves it, so "cport" is asked
        {"Not in any catalog", "(null)"},
        {"Not in any\ncatalog", "(null)"},
        {"", "(null)"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Translated(translator, text), expected) << text;
  }
  EXPECT_EQ(Translated(translator, "Cancel"), "(null)") << "after shut-down";
}

TEST(ResourceTextTranslator, KeepsCatalogFailuresAwayFromQtAndReportsEachOnce) {
  TScopedEnvironment environment;
  environment.Set("LANG", "xx");
  testing::internal::CaptureStderr();  // the start-up's own report of the serial text
  const TVaroStartUp startUp;
  testing::internal::GetCapturedStderr();
  const TResourceTextTranslator translator;
  const TWarnings warnings;
  TWarnings::Said().clear();
  EXPECT_EQ(Translated(translator, "Cancel"), "(null)");
  EXPECT_EQ(Translated(translator, "Cancel"), "(null)");
  EXPECT_EQ(Translated(translator, " (win error code: %d)"), " (Fehlercode: %d)");
  EXPECT_THAT(TWarnings::Said(), testing::ElementsAre(testing::HasSubstr("Could not translate Cancel.")));
}

TEST(BuiltInTexts, CloseQuestionButtonsTakeTheCatalogsOverQtsOwnTranslation) {
  QTemporaryDir noQtTranslations;
  ASSERT_TRUE(noQtTranslations.isValid());
  const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  struct TCase {
    const char* Lang;
    QString QtDirectory;
    bool QtLoaded;
    QString Yes, No, Cancel, Retry;
  };
  const TCase cases[] = {
      {"tr_TR.UTF-8", noQtTranslations.path(), false, "Evet", "Hayır", "Vazgeç", "Retry"},
      {"tr_TR.UTF-8", qtTranslations, true, "Evet", "Hayır", "Vazgeç", "Yeniden Dene"},
      {"C", qtTranslations, false, "Yes", "No", "Cancel", "Retry"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Lang) + " " + c.QtDirectory.toStdString());
    TScopedEnvironment environment;
    environment.Set("LANG", c.Lang);
    const TVaroStartUp startUp;
    const TBuiltInTexts texts(startUp.Language(), c.QtDirectory);
    ASSERT_EQ(texts.QtTranslationLoaded(), c.QtLoaded) << "qtbase_tr.qm comes with qt6-translations-l10n";
    TFmMain window;
    window.show();
    window.Modified = true;

    const std::optional<TShownBox> question = AnswerMessageBox([&] { window.close(); }, QMessageBox::Cancel);
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->Text, "Ayarlarınız Kaydedilsin mi?");
    const std::map<QMessageBox::StandardButton, QString> yesNoCancel = {
        {QMessageBox::Yes, c.Yes}, {QMessageBox::No, c.No}, {QMessageBox::Cancel, c.Cancel}};
    EXPECT_EQ(question->Buttons, yesNoCancel);
    EXPECT_TRUE(window.isVisible()) << "Cancel keeps the window open";

    const std::optional<TShownBox> retry =
        AnswerMessageBox([&] { window.Dialogs().AskRetryCancel("VARO", "?"); }, QMessageBox::Cancel);
    ASSERT_TRUE(retry.has_value());
    const std::map<QMessageBox::StandardButton, QString> retryCancel = {{QMessageBox::Retry, c.Retry},
                                                                        {QMessageBox::Cancel, c.Cancel}};
    EXPECT_EQ(retry->Buttons, retryCancel);
    }
}

TEST(BuiltInTexts, QtsTranslationIsTheFirstOfTheLanguageListThatQtHas) {
  const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const std::pair<const char*, const char*> cases[] = {
      {"tr_TR", "Yeniden Dene"}, {"xx:tr", "Yeniden Dene"}, {"de:tr", "Wiederholen"},
      {"xx_YY:de_DE", "Wiederholen"}, {"xx:yy", "Retry"}, {"C", "Retry"},
  };
  for (const auto& [language, retry] : cases) {
    const TBuiltInTexts texts(language, qtTranslations);
    EXPECT_EQ(texts.QtTranslationLoaded(), std::string(retry) != "Retry") << language;
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Retry").toStdString(), retry) << language;
  }
}

TEST(BuiltInTexts, NoTranslatorSeesTheWindowsOwnTexts) {
  TEverythingTranslator everything;
  QCoreApplication::installTranslator(&everything);
  TFmMain window;
  window.show();
  QCoreApplication::removeTranslator(&everything);

  EXPECT_EQ(everything.Contexts.count("FmMain"), 0u);
  EXPECT_EQ(window.windowTitle(), "VARO PROGRAMLAYICI");
  QStringList texts;
  for (const QWidget* w : window.findChildren<QWidget*>()) texts << w->toolTip() << w->statusTip();
  for (const QLabel* l : window.findChildren<QLabel*>()) texts << l->text();
  for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) texts << b->text();
  for (const QAction* a : window.findChildren<QAction*>()) texts << a->text() << a->toolTip();
  for (const QComboBox* list : window.findChildren<QComboBox*>())
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
  EXPECT_THAT(texts, testing::Contains(QStringLiteral("YAZ")));
  EXPECT_THAT(texts, testing::Not(testing::Contains(TEverythingTranslator::Marker)));
}
