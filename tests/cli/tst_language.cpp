// The language duvactl speaks: the translation chosen from the locale's variables (as gettext
// reads them) or from the display languages Windows gives.

#include "i18n/language.h"

#include <QtTest>

using namespace duva::i18n;

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void fromTheLocale_data()
    {
        QTest::addColumn<QString>("environment"); // NAME=VALUE, blank-separated
        QTest::addColumn<QString>("translation"); // empty: English

        QTest::newRow("Brazilian locale") << "LANG=pt_BR.UTF-8"
                                          << "pt_BR";
        QTest::newRow("Portuguese locale") << "LANG=pt_PT.UTF-8"
                                           << "pt_BR";
        QTest::newRow("bare pt with a modifier") << "LANG=pt@euro"
                                                 << "pt_BR";
        QTest::newRow("English locale") << "LANG=en_US.UTF-8"
                                        << "";
        QTest::newRow("a language named like pt") << "LANG=pap_AW"
                                                  << "";
        QTest::newRow("C") << "LANG=C"
                           << "";
        QTest::newRow("nothing set") << ""
                                     << "";
        QTest::newRow("LC_MESSAGES over LANG") << "LC_MESSAGES=pt_BR.UTF-8 LANG=en_US.UTF-8"
                                               << "pt_BR";
        QTest::newRow("LC_ALL over LC_MESSAGES") << "LC_ALL=en_GB.UTF-8 LC_MESSAGES=pt_BR.UTF-8"
                                                 << "";
        QTest::newRow("LANGUAGE over the locale") << "LANGUAGE=pt_BR:en LANG=de_DE.UTF-8"
                                                  << "pt_BR";
        QTest::newRow("LANGUAGE's first language decides") << "LANGUAGE=en:pt_BR LANG=pt_BR.UTF-8"
                                                           << "";
        QTest::newRow("the C locale ignores LANGUAGE") << "LANGUAGE=pt_BR LC_ALL=C"
                                                       << "";
        QTest::newRow("C.UTF-8 ignores LANGUAGE") << "LANGUAGE=pt_BR LANG=C.UTF-8"
                                                  << "";
        QTest::newRow("POSIX ignores LANGUAGE") << "LANGUAGE=pt LANG=POSIX"
                                                << "";
        QTest::newRow("an empty LANGUAGE") << "LANGUAGE= LANG=pt_BR.UTF-8"
                                           << "pt_BR";
    }

    void fromTheLocale()
    {
        QFETCH(QString, environment);
        QFETCH(QString, translation);
        QHash<QString, QString> variables;
        for (const QString& setting : environment.split(' ', Qt::SkipEmptyParts))
            variables.insert(setting.section('=', 0, 0), setting.section('=', 1));
        const QStringList languages = languagesFromEnvironment(
            [&](const char* name) { return variables.value(QString::fromLatin1(name)); });
        QCOMPARE(translationFor(languages), translation);
    }

    void fromWindowsDisplayLanguages_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("translation");
        QTest::newRow("Brazilian Portuguese") << QStringList{"pt-BR", "en-US"} << "pt_BR";
        QTest::newRow("European Portuguese") << QStringList{"pt-PT"} << "pt_BR";
        QTest::newRow("English first") << QStringList{"en-US", "pt-BR"} << "";
        QTest::newRow("Spanish") << QStringList{"es-ES"} << "";
    }

    void fromWindowsDisplayLanguages()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(QString, translation);
        QCOMPARE(translationFor(uiLanguages), translation);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
