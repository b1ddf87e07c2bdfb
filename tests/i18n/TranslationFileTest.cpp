// The committed English translation against the texts the sources hold today: every German text has a
// finished English text, and each translation keeps what the program relies on (placeholders, line
// breaks that split prompt and tool tip, key hints after a tab, trailing blanks, menu accelerators).
#include "TsFile.h"
#include "support/TestSupport.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using i18ntest::TsFile;
using i18ntest::TsMessage;

namespace {

const char* kRefresh = "refresh it with 'cmake --build build --target update_translations', translate the "
                       "new entries and commit res/translations/FolivantEng.ts";

class TranslationFile : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_committed = new TsFile(i18ntest::ReadTsFile(QStringLiteral(FOLIVANT_TS_FILE)));
        QTemporaryDir dir;
        QString log;
        const QString scanned = i18ntest::ScanSources(dir.path(), &log);
        s_scan = new TsFile(scanned.isEmpty() ? TsFile{} : i18ntest::ReadTsFile(scanned));
        if (scanned.isEmpty()) {
            s_scan->error = QStringLiteral("lupdate failed: ") + log;
        }
    }
    static void TearDownTestSuite()
    {
        delete s_committed;
        delete s_scan;
        s_committed = nullptr;
        s_scan = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_committed->error.isEmpty()) << s_committed->error.toStdString();
        ASSERT_FALSE(s_committed->messages.empty());
    }

    static const std::vector<TsMessage>& Committed() { return s_committed->messages; }

    static TsFile* s_committed;
    static TsFile* s_scan;
};

TsFile* TranslationFile::s_committed = nullptr;
TsFile* TranslationFile::s_scan = nullptr;

std::string Join(const QStringList& lines)
{
    return lines.join(u'\n').toStdString();
}

TEST_F(TranslationFile, IsFromGermanToEnglish)
{
    EXPECT_EQ(s_committed->sourceLanguage, "de");
    EXPECT_EQ(s_committed->language, "en");
}

TEST_F(TranslationFile, EveryTextOfTheSourcesHasAFinishedEnglishTranslation)
{
    ASSERT_TRUE(s_scan->error.isEmpty()) << s_scan->error.toStdString();
    // The scan must see the three kinds of texts, or it is not scanning what the program shows.
    QStringList contexts;
    for (const TsMessage& m : s_scan->messages) {
        contexts << m.context;
    }
    ASSERT_TRUE(contexts.contains("Strings") && contexts.contains("Menu") && contexts.contains("CDiaPage"))
        << "lupdate found no string table, menu or dialog texts";

    QMap<QString, const TsMessage*> committed;
    for (const TsMessage& m : Committed()) {
        committed.insert(m.Key(), &m);
    }
    QStringList untranslated;
    for (const TsMessage& m : s_scan->messages) {
        const TsMessage* t = committed.value(m.Key());
        if (t == nullptr) {
            untranslated << QStringLiteral("  not in the translation file: ") + m.Describe();
        } else if (!t->IsFinished()) {
            untranslated << QStringLiteral("  not translated (unfinished or empty): ") + m.Describe();
        }
    }
    EXPECT_TRUE(untranslated.isEmpty())
        << "German texts without an English translation; " << kRefresh << ":\n"
        << Join(untranslated);
}

TEST_F(TranslationFile, HoldsNoTextTheSourcesNoLongerHave)
{
    ASSERT_TRUE(s_scan->error.isEmpty()) << s_scan->error.toStdString();
    QStringList inSources;
    for (const TsMessage& m : s_scan->messages) {
        inSources << m.Key();
    }
    QStringList stale;
    for (const TsMessage& m : Committed()) {
        if (!inSources.contains(m.Key()) || m.type == "vanished" || m.type == "obsolete") {
            stale << QStringLiteral("  ") + m.Describe();
        }
    }
    EXPECT_TRUE(stale.isEmpty()) << "texts no longer in the sources; " << kRefresh << ":\n" << Join(stale);
}

TEST_F(TranslationFile, EveryMessageIsFinished)
{
    QStringList open;
    for (const TsMessage& m : Committed()) {
        if (!m.IsFinished()) {
            open << QStringLiteral("  ") + m.Describe();
        }
    }
    EXPECT_TRUE(open.isEmpty()) << Join(open);
}

TEST_F(TranslationFile, PlaceholdersKeepTheirCountAndOrder)
{
    QStringList wrong;
    for (const TsMessage& m : Committed()) {
        const QStringList expected = i18ntest::Placeholders(m.source);
        for (const QString& form : m.forms) {
            const QStringList got = i18ntest::Placeholders(form);
            if (got != expected) {
                wrong << QStringLiteral("  %1: source has [%2], translation \"%3\" has [%4]")
                             .arg(m.Describe(), expected.join(u' '), form, got.join(u' '));
            }
        }
    }
    EXPECT_TRUE(wrong.isEmpty()) << Join(wrong);
}

TEST_F(TranslationFile, LineBreaksKeyHintsAndOuterBlanksAreKept)
{
    // "\n" splits status-bar prompt from tool tip and the parts of the document string; "\t" puts the
    // key hint of a menu item on the right; a trailing blank is part of the text it is joined to.
    QStringList wrong;
    for (const TsMessage& m : Committed()) {
        for (const QString& form : m.forms) {
            if (form.count(u'\n') != m.source.count(u'\n')) {
                wrong << QStringLiteral("  line breaks differ: ") + m.Describe();
            }
            if (form.count(u'\t') != m.source.count(u'\t')) {
                wrong << QStringLiteral("  key hint tabs differ: ") + m.Describe();
            }
            if (form.endsWith(u' ') != m.source.endsWith(u' ') ||
                form.startsWith(u' ') != m.source.startsWith(u' ')) {
                wrong << QStringLiteral("  leading or trailing blank differs: ") + m.Describe();
            }
        }
    }
    EXPECT_TRUE(wrong.isEmpty()) << Join(wrong);
}

TEST_F(TranslationFile, MenuTextsKeepOneAcceleratorAndEnglishKeyNames)
{
    const QStringList germanKeys = {"Strg", "Umschalt", "Pfeil",   "Pos1",   "Ende",  "Einfg",
                                    "Entf", "Bild auf", "Bild ab", "rechts", "links", "Page down"};
    QStringList wrong;
    for (const TsMessage& m : Committed()) {
        if (m.context != "Menu") {
            continue;
        }
        for (const QString& form : m.forms) {
            const int marks = i18ntest::AcceleratorMarks(form);
            if (marks > 1 || (i18ntest::AcceleratorMarks(m.source) == 1 && marks != 1)) {
                wrong << QStringLiteral("  accelerator lost or doubled: ") + m.Describe() +
                             QStringLiteral(" -> ") + form;
            }
            const qsizetype tab = form.indexOf(u'\t');
            const QString hint = tab < 0 ? QString() : form.mid(tab + 1);
            for (const QString& key : germanKeys) {
                if (hint.contains(key)) {
                    wrong << QStringLiteral("  German key name \"%1\" in: ").arg(key) + form;
                }
            }
        }
    }
    EXPECT_TRUE(wrong.isEmpty()) << Join(wrong);
}

// The helpers the checks above rely on.
TEST(TsFileHelpers, PlaceholdersAreFoundInOrderAndPercentSignsAreNotPlaceholders)
{
    EXPECT_EQ(i18ntest::Placeholders("copy '%s' to '%s'"), QStringList({"%s", "%s"}));
    EXPECT_EQ(i18ntest::Placeholders("between %2 and %1, 100%% %d"), QStringList({"%2", "%1", "%%", "%d"}));
    EXPECT_EQ(i18ntest::Placeholders("%L1 of %n, %12"), QStringList({"%L1", "%n", "%12"}));
    EXPECT_TRUE(i18ntest::Placeholders("50 % done").isEmpty());
}

TEST(TsFileHelpers, AcceleratorIgnoresDoubledAmpersandsAndTheKeyHint)
{
    EXPECT_EQ(i18ntest::AcceleratorOf("Ö&ffnen...\tStrg+O"), QChar(u'f'));
    EXPECT_EQ(i18ntest::AcceleratorOf("Fax && &Mail"), QChar(u'm'));
    EXPECT_TRUE(i18ntest::AcceleratorOf("Ganze Breite\tStrg+&X").isNull());
    EXPECT_EQ(i18ntest::AcceleratorMarks("A&&B"), 0);
    EXPECT_EQ(i18ntest::AcceleratorMarks("&A&B"), 2);
}

TEST(TsFileHelpers, ReadsFinishedUnfinishedAndNumerusMessages)
{
    testsupport::TempDir dir;
    const QString path = dir.File("t.ts");
    testsupport::WriteFile(path, R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>Strings</name>
    <message>
        <source>Zeile 1
Zeile 2</source>
        <translation>Line 1
Line 2</translation>
    </message>
    <message>
        <source>Neu</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n Seite(n)</source>
        <translation>
            <numerusform>%n page</numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
</TS>
)");
    const TsFile ts = i18ntest::ReadTsFile(path);
    ASSERT_TRUE(ts.error.isEmpty()) << ts.error.toStdString();
    ASSERT_EQ(ts.messages.size(), 3u);
    EXPECT_EQ(ts.messages[0].context, "Strings");
    EXPECT_EQ(ts.messages[0].forms, QStringList({"Line 1\nLine 2"}));
    EXPECT_TRUE(ts.messages[0].IsFinished());
    EXPECT_FALSE(ts.messages[1].IsFinished());
    EXPECT_EQ(ts.messages[2].forms.size(), 2);
    EXPECT_FALSE(ts.messages[2].IsFinished()); // one plural form is empty
}

} // namespace
