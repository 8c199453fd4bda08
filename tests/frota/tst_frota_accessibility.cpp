// The fleet window as a screen reader meets it: the real duva-frota, in Portuguese, on a real
// X server in the test network with three simulated modules. A real AT-SPI client
// (frota-screen-reader.py) searches with F5, switches the pages with Ctrl+Tab, Tabs once round
// each with the real key and reads every table through AT-SPI's table interface. Run by
// under-screen-reader.sh --testnet; skipped anywhere else.

#include "simprocess.h"

#include <QProcess>
#include <QtTest>

using duva::test::SimProcess;

class TestFrotaAccessibility : public QObject
{
    Q_OBJECT

    // The client's lines, split at tabs.
    QList<QStringList> m_heard;

    QList<QStringList> linesOf(const QString& kind) const
    {
        QList<QStringList> out;
        for (const QStringList& line : m_heard)
            if (line.first() == kind)
                out << line.mid(1);
        return out;
    }

    // A page's Tab round, each focus as it is spoken: "label name, role: description".
    QStringList round(const QString& page) const
    {
        QStringList out;
        for (const QStringList& f : linesOf(QStringLiteral("tab"))) {
            if (f.size() < 6 || f[0] != page)
                continue;
            QString said = (f[4].isEmpty() ? QString() : f[4] + QLatin1Char(' ')) + f[2] +
                           QStringLiteral(", ") + f[1];
            if (!f[3].isEmpty())
                said += QStringLiteral(": ") + f[3];
            out << said;
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        DUVA_REQUIRE_TEST_NETWORK();
        const QString client = qEnvironmentVariable("DUVA_SCREEN_READER");
        const QString program = qEnvironmentVariable("DUVA_FROTA");
        if (client.isEmpty() || program.isEmpty() || qgetenv("QT_QPA_PLATFORM") != "xcb")
            QSKIP("needs an X server, a session bus and the AT-SPI client "
                  "(under-screen-reader.sh --testnet)");
        SimProcess sim({"--count", "3"});
        QVERIFY2(sim.isReady(), qPrintable(sim.errorText()));

        // On a Portuguese system.
        QProcess window;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), QStringLiteral("pt_BR.UTF-8"));
        window.setProcessEnvironment(env);
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        window.start(program, {});
        QVERIFY(window.waitForStarted());

        QProcess reader;
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader.start(QStringLiteral("/usr/bin/python3"),
                     {client, QString::number(window.processId()), QStringLiteral("3")});
        QVERIFY(reader.waitForStarted());
        const bool ended = reader.waitForFinished(150000);
        window.terminate();
        window.waitForFinished(5000);
        QVERIFY(ended);
        const QString heard = QString::fromUtf8(reader.readAllStandardOutput());
        // What was heard up to the failure shows where Tab went.
        if (reader.exitCode() != 0)
            qWarning("heard before the failure:\n%s", qPrintable(heard));
        QCOMPARE(reader.exitCode(), 0);
        for (const QString& line : heard.split('\n'))
            if (!line.isEmpty())
                m_heard << line.split(QLatin1Char('\t'));

        // The Tab round as it is spoken, for the record.
        QStringList spoken;
        for (const QString& page : QStringList{"Módulos", "Plano", "Comissionamento", "Registro"})
            spoken << QStringLiteral("[%1]").arg(page) << round(page);
        qInfo("heard on the Tab rounds:\n  %s", qPrintable(spoken.join(QStringLiteral("\n  "))));
    }

    void everyControlHasAName()
    {
        QStringList nameless;
        int focusable = 0;
        for (const QStringList& o : linesOf(QStringLiteral("object"))) {
            if (o.value(3) != QLatin1String("1"))
                continue;
            ++focusable;
            if (o.value(2).trimmed().isEmpty())
                nameless << o[0] + QLatin1Char(' ') + o[1];
        }
        QCOMPARE(nameless, QStringList());
        QVERIFY2(focusable >= 20, qPrintable(QString::number(focusable)));
    }

    // Ctrl+Tab goes to the next page, and from the last back to the first.
    void thePagesSwitchFromTheKeyboard()
    {
        QStringList pages;
        for (const QStringList& p : linesOf(QStringLiteral("page")))
            pages << p.value(0);
        QCOMPARE(pages, (QStringList{"Plano", "Comissionamento", "Registro", "Módulos"}));
    }

    // Tab goes round a page as the eye reads it, and comes back to the page's tab.
    void tabGoesRoundEachPageInReadingOrder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("modules") << "Módulos"
                                 << QStringList{
                                        "Módulos, page tab list",
                                        "Adaptador: Todos os adaptadores, combo box",
                                        "Procurar, push button: Procurar módulos pelo adaptador "
                                        "escolhido (F5)",
                                        "Módulos encontrados, table",
                                        "Filtro, text: Filtrar os módulos mostrados",
                                        "Exportar CSV..., push button: Exportar CSV",
                                        "Exportar para Excel..., push button: Exportar para Excel",
                                    };
        QTest::newRow("commissioning")
            << "Comissionamento"
            << QStringList{
                   "Comissionamento, page tab list",
                   "Endereço de fábrica: Endereço de fábrica, text: O endereço de onde os módulos "
                   "novos respondem, como 192.168.0.10",
                   "Plano: Arquivo do plano, text: Um plano, CSV ou JSON",
                   "Escolher o arquivo do plano, push button",
                   "Arquivo de registro: Arquivo de registro, text: Ao lado do plano",
                   "Escolher o arquivo de registro, push button",
                   "Iniciar, push button",
                   "Módulos concluídos, table",
               };
        QTest::newRow("plan")
            << "Plano"
            << QStringList{
                   "Plano, page tab list",
                   "Abrir plano..., push button: Abrir plano",
                   "Plano dos módulos encontrados, push button: Plano dos módulos encontrados",
                   "Salvar plano..., push button: Salvar plano",
                   "Endereço temporário: Endereço temporário, text: Um endereço livre pelo qual "
                   "dois módulos trocam de endereço, como 10.77.0.200; um para cada troca",
                   "Pular módulos que não respondem, check box",
                   "Aplicar, push button: Procura e depois grava cada módulo como o plano diz, "
                   "numa ordem segura",
                   "Plano, table",
                   "Situação do plano, label",
               };
        QTest::newRow("record") << "Registro"
                                << QStringList{
                                       "Registro, page tab list",
                                       "Abrir registro..., push button: Abrir registro",
                                       "Entradas do registro, table",
                                       "Situação do desfazer, label",
                                       "Local: Nome do local, text: Onde os módulos foram "
                                       "comissionados",
                                       "Operador: Operador, text",
                                   };
    }
    void tabGoesRoundEachPageInReadingOrder()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, heard);
        QCOMPARE(round(page), heard);
    }

    // Every table is reached by Tab, and its headers and cells are read through AT-SPI's table
    // interface (row -1: a column header alone, for a table without rows).
    void everyTableIsReachedAndRead_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rowHeader");
        QTest::addColumn<QString>("columnHeader");
        // The modules sorted by address; the plan in the order they were found, each row
        // headed by its line in the plan file.
        QTest::newRow("first module's address") << "Módulos"
                                                << "Módulos encontrados" << 0 << 0 << "10.77.0.10"
                                                << "1"
                                                << "ipAddress";
        QTest::newRow("third module's serial number") << "Módulos"
                                                      << "Módulos encontrados" << 2 << 12 << "1033"
                                                      << "3"
                                                      << "serialNumber";
        QTest::newRow("a plan row's address") << "Plano"
                                              << "Plano" << 1 << 1 << "10.77.0.11"
                                              << "3"
                                              << "ipAddress";
        QTest::newRow("modules done, empty") << "Comissionamento"
                                             << "Módulos concluídos" << -1 << 0 << ""
                                             << ""
                                             << "Número de série";
        QTest::newRow("record entries, empty") << "Registro"
                                               << "Entradas do registro" << -1 << 7 << ""
                                               << ""
                                               << "Motivo";
    }
    void everyTableIsReachedAndRead()
    {
        QFETCH(QString, page);
        QFETCH(QString, table);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, rowHeader);
        QFETCH(QString, columnHeader);

        QVERIFY2(round(page).contains(table + QStringLiteral(", table")),
                 qPrintable(round(page).join(QStringLiteral(" | "))));
        const QString at = QString::number(column);
        bool headed = false;
        for (const QStringList& h : linesOf(QStringLiteral("header")))
            headed = headed || (h.value(0) == page && h.value(1) == table && h.value(2) == at &&
                                h.value(3) == columnHeader);
        QVERIFY2(headed, qPrintable(columnHeader));
        if (row < 0)
            return;
        QStringList cell;
        for (const QStringList& c : linesOf(QStringLiteral("cell")))
            if (c.value(0) == page && c.value(1) == table && c.value(2) == QString::number(row) &&
                c.value(3) == at)
                cell = c.mid(4);
        QCOMPARE(cell, (QStringList{text, rowHeader, columnHeader}));
    }
};

QTEST_GUILESS_MAIN(TestFrotaAccessibility)
#include "tst_frota_accessibility.moc"
