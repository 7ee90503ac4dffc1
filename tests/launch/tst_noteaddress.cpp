#include "NoteAddress.h"

#include <QtTest>

// What a double-click in a note may hand to the web or mail handler.
class TestNoteAddress : public QObject
{
    Q_OBJECT

private slots:
    void surroundingPunctuationIsNotPartOfAnAddress_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("core");
        QTest::newRow("full stop") << "www.example.com." << "www.example.com";
        QTest::newRow("comma") << "http://example.org/a," << "http://example.org/a";
        QTest::newRow("parentheses") << "(www.example.com)" << "www.example.com";
        QTest::newRow("quotes and full stop") << "\"www.example.com\"." << "www.example.com";
        QTest::newRow("angle brackets") << "<ann@example.com>" << "ann@example.com";
        QTest::newRow("balanced parenthesis stays")
            << "https://en.example.org/wiki/Quill_(pen)" << "https://en.example.org/wiki/Quill_(pen)";
        QTest::newRow("balanced parenthesis, sentence parenthesis goes")
            << "(https://en.example.org/wiki/Quill_(pen))." << "https://en.example.org/wiki/Quill_(pen)";
        QTest::newRow("nothing to trim") << "www.example.com/a?b=c" << "www.example.com/a?b=c";
        QTest::newRow("only punctuation") << ".)" << "";
    }
    void surroundingPunctuationIsNotPartOfAnAddress()
    {
        QFETCH(QString, item);
        QFETCH(QString, core);
        const NoteAddress::Range r = NoteAddress::core(item);
        QCOMPARE(item.mid(r.start, r.length), core);
    }

    void webAddresses_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("url"); // empty: refused
        QTest::newRow("https") << "https://example.org/page" << "https://example.org/page";
        QTest::newRow("HTTP in capitals") << "HTTP://EXAMPLE.ORG" << "HTTP://EXAMPLE.ORG";
        QTest::newRow("ftp") << "ftp://files.example.org/a.zip" << "ftp://files.example.org/a.zip";
        QTest::newRow("www host gets http") << "www.example.com" << "http://www.example.com";
        QTest::newRow("host with path") << "example.co.uk/news?id=3" << "http://example.co.uk/news?id=3";
        QTest::newRow("host with port") << "intranet.example.org:8080/wiki" << "http://intranet.example.org:8080/wiki";
        QTest::newRow("hyphenated host") << "my-site.example.org" << "http://my-site.example.org";
        QTest::newRow("file link") << "file:///etc/passwd" << "";
        QTest::newRow("absolute path") << "/usr/bin/xterm" << "";
        QTest::newRow("home path") << "~/bin/script.sh" << "";
        QTest::newRow("relative path") << "path/to/page" << "";
        QTest::newRow("desktop entry path") << "/usr/share/applications/evil.desktop" << "";
        QTest::newRow("javascript") << "javascript:alert(1)" << "";
        QTest::newRow("smb share") << "smb://server/share" << "";
        QTest::newRow("command option") << "--version" << "";
        QTest::newRow("http without host") << "http:///etc" << "";
        QTest::newRow("single word") << "notes" << "";
        QTest::newRow("intranet address") << "10.0.0.1/wiki" << "http://10.0.0.1/wiki";
        QTest::newRow("version number") << "1.2.3" << "";
        QTest::newRow("tab inside") << "www.exa\tmple.com" << "";
        QTest::newRow("empty") << "" << "";
    }
    void webAddresses()
    {
        QFETCH(QString, item);
        QFETCH(QString, url);
        const std::optional<QString> got = NoteAddress::webUrl(item);
        if (url.isEmpty())
            QVERIFY2(!got, qPrintable(got.value_or(QString())));
        else
            QCOMPARE(got.value_or(QStringLiteral("<refused>")), url);
    }

    void mailAddresses_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("address") << "ann.lee+notes@example.com" << true;
        QTest::newRow("with mailto") << "mailto:ann@example.com" << true;
        QTest::newRow("bare user name the user confirmed") << "annlee" << true;
        QTest::newRow("attachment query") << "ann@example.com?attach=/home/ann/.ssh/id_rsa" << false;
        QTest::newRow("header query") << "mailto:ann@example.com?bcc=x@example.org" << false;
        QTest::newRow("encoded question mark") << "ann@example.com%3Fattach=x" << false;
        QTest::newRow("option") << "-compose" << false;
        QTest::newRow("path") << "/etc/passwd" << false;
        QTest::newRow("file link") << "file:///tmp/x" << false;
        QTest::newRow("two at signs") << "a@b@example.com" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("mailto alone") << "mailto:" << false;
    }
    void mailAddresses()
    {
        QFETCH(QString, item);
        QFETCH(bool, accepted);
        QCOMPARE(NoteAddress::isMailAddress(item), accepted);
    }

    // The line as written with "|" where the double-click landed; the number taken, or nothing.
    void phoneNumberUnderTheClick_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("number"); // empty: not a number
        QTest::newRow("first of two numbers") << "55|5-1234 555-9876"
                                              << "555-1234";
        QTest::newRow("second of two numbers") << "555-1234 555-98|76"
                                               << "555-9876";
        QTest::newRow("area code in brackets") << "call (555) 12|3-4567"
                                               << "(555) 123-4567";
        QTest::newRow("second number with an area code") << "(555) 123-4567 (555) 98|7-6543"
                                                         << "(555) 987-6543";
        QTest::newRow("country code, groups") << "+49 (3|0) 1234-56"
                                              << "+49 (30) 1234-56";
        QTest::newRow("groups written with blanks") << "fax 030/765 4|3 21"
                                                    << "030/765 43 21";
        QTest::newRow("a country code starts a number") << "+44 20 7946 0958 +44 2|0 7946 0959"
                                                        << "+44 20 7946 0959";
        QTest::newRow("two blanks part numbers") << "555 1234  555 98|76"
                                                 << "555 9876";
        QTest::newRow("a slash between blanks parts numbers") << "555-1234 / 5|55-9876"
                                                              << "555-9876";
        QTest::newRow("sentence full stop") << "Call 555-12|34."
                                            << "555-1234";
        QTest::newRow("blank between numbers") << "555-1234| 555-9876"
                                               << "";
        QTest::newRow("command substitution") << "$(tou|ch /tmp/x)"
                                              << "";
        QTest::newRow("option") << "-|-version"
                                << "";
        QTest::newRow("brackets without digits") << "(|)"
                                                 << "";
    }
    void phoneNumberUnderTheClick()
    {
        QFETCH(QString, clicked);
        QFETCH(QString, number);
        const int at = int(clicked.indexOf(u'|'));
        const QString line = QString(clicked).remove(u'|');
        const std::optional<NoteAddress::Range> got = NoteAddress::phoneNumberAround(line, at);
        QCOMPARE(got ? line.mid(got->start, got->length) : QString(), number);
    }
};

QTEST_GUILESS_MAIN(TestNoteAddress)
#include "tst_noteaddress.moc"
