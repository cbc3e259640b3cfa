// How a message is put into bytes: line breaks, encoded-words, header safety, line lengths.

#include "platform/mail/EMailError.h"
#include "platform/mail/MimeMessage.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>

using namespace platform;

namespace {

// Decodes a run of =?UTF-8?B?...?= words, failing on anything else or on invalid UTF-8.
QString decodeWords(const QByteArray &folded, bool *ok)
{
    static const QRegularExpression word(QStringLiteral("^=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?=$"));
    QString out;
    *ok = true;
    const QList<QByteArray> words = QByteArray(folded).replace("\r\n ", " ").split(' ');
    for (const QByteArray &w : words) {
        const QRegularExpressionMatch m = word.match(QString::fromLatin1(w));
        if (!m.hasMatch() || w.size() > 75) {
            *ok = false;
            return out;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString piece = decoder.decode(QByteArray::fromBase64(m.captured(1).toLatin1()));
        // Each word must hold whole characters on its own.
        if (decoder.hasError())
            *ok = false;
        out += piece;
    }
    return out;
}

MailMessage simpleMessage()
{
    MailMessage m;
    m.sender = QStringLiteral("errors@maker.example");
    m.recipients = {QStringLiteral("support@maker.example")};
    m.subject = QStringLiteral("Error DEMO Stock Count");
    m.bodyLines = {QStringLiteral("บรรทัดเดียว")};
    return m;
}

} // namespace

class TestMimeMessage : public QObject
{
    Q_OBJECT

private slots:
    void normalisesLineBreaks_data();
    void normalisesLineBreaks();
    void encodedWordsKeepCharactersWhole_data();
    void encodedWordsKeepCharactersWhole();
    void refusesHeaderInjection_data();
    void refusesHeaderInjection();
    void subjectLineBreaksDoNotEndTheHeader();
    void longRecipientListIsFolded();
};

void TestMimeMessage::normalisesLineBreaks_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("bare CR") << QByteArray("a\rb") << QByteArray("a\r\nb");
    QTest::newRow("bare LF") << QByteArray("a\nb") << QByteArray("a\r\nb");
    QTest::newRow("CRLF kept") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("CR CRLF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb");
    QTest::newRow("LF CR") << QByteArray("\n\r") << QByteArray("\r\n\r\n");
    QTest::newRow("trailing CR") << QByteArray("x\r") << QByteArray("x\r\n");
    QTest::newRow("Thai") << QStringLiteral("ก\rข\nค").toUtf8() << QStringLiteral("ก\r\nข\r\nค").toUtf8();
}

void TestMimeMessage::normalisesLineBreaks()
{
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QCOMPARE(MimeMessage::normaliseLineBreaks(in), out);
}

void TestMimeMessage::encodedWordsKeepCharactersWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("used");
    QTest::newRow("ASCII") << QStringLiteral("Error DEMO Stock Count") << 9;
    QTest::newRow("long Thai") << QStringLiteral("สินค้าคงเหลือไม่พอสำหรับการปรับยอด").repeated(5) << 9;
    QTest::newRow("tone marks") << QStringLiteral("ที่นี่ กี่ปี ปั้น ก๊ก ก๋วยเตี๋ยว ").repeated(6) << 40;
    QTest::newRow("emoji") << QStringLiteral("ab🙂").repeated(40) << 9;
    QTest::newRow("stacked marks") << QString(QStringLiteral("ก") + QString(30, QChar(0x0E48))) << 9;
}

void TestMimeMessage::encodedWordsKeepCharactersWhole()
{
    QFETCH(QString, text);
    QFETCH(int, used);
    const QByteArray folded = MimeMessage::encodeHeaderText(text, used);
    const QList<QByteArray> lines = folded.split('\n');
    QVERIFY(used + lines.first().trimmed().size() <= 76);
    for (const QByteArray &line : lines)
        QVERIFY2(line.trimmed().size() <= 75, line.constData());
    bool ok = false;
    QCOMPARE(decodeWords(folded, &ok), text);
    QVERIFY(ok);
    // Apart from an over-long cluster, no word starts with a Thai vowel or tone mark torn from
    // its consonant.
    if (QByteArray(QTest::currentDataTag()) != "stacked marks") {
        for (const QByteArray &w : QByteArray(folded).replace("\r\n ", " ").split(' ')) {
            bool wordOk = false;
            const QString piece = decodeWords(w, &wordOk);
            QVERIFY(!piece.isEmpty());
            QVERIFY2(!piece.at(0).isMark(), qPrintable(piece));
        }
    }
}

void TestMimeMessage::refusesHeaderInjection_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("sender CRLF") << 0 << QStringLiteral("a@b.example\r\nBcc: victim@x.example");
    QTest::newRow("recipient LF") << 1 << QStringLiteral("a@b.example\nX: y");
    QTest::newRow("cc CR") << 2 << QStringLiteral("Name\r <a@b.example>");
    QTest::newRow("bcc space") << 3 << QStringLiteral("a b@c.example");
    QTest::newRow("recipient list") << 1 << QStringLiteral("a@b.example,c@d.example");
    QTest::newRow("empty sender") << 0 << QString();
}

void TestMimeMessage::refusesHeaderInjection()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    MailMessage m = simpleMessage();
    switch (field) {
    case 0:
        m.sender = value;
        break;
    case 1:
        m.recipients = {value};
        break;
    case 2:
        m.carbonCopies = {value};
        break;
    default:
        m.blindCopies = {value};
        break;
    }
    QVERIFY_THROWS_EXCEPTION(EMailError, MimeMessage::compose(m));
}

void TestMimeMessage::subjectLineBreaksDoNotEndTheHeader()
{
    MailMessage m = simpleMessage();
    m.subject = QStringLiteral("Error\r\nBcc: victim@x.example\rX\nY");
    const QByteArray bytes = MimeMessage::compose(m);
    const QByteArray head = bytes.left(bytes.indexOf("\r\n\r\n") + 2);
    QVERIFY(!head.contains("\r\nBcc:"));
    const qsizetype start = head.indexOf("Subject: ") + 9;
    const QByteArray subject = head.mid(start, head.indexOf("\r\nMessage-ID") - start);
    bool ok = false;
    QCOMPARE(decodeWords(subject, &ok), QStringLiteral("Error Bcc: victim@x.example X Y"));
    QVERIFY(ok);
}

void TestMimeMessage::longRecipientListIsFolded()
{
    MailMessage m = simpleMessage();
    m.recipients.clear();
    for (int i = 0; i < 12; ++i)
        m.recipients << QStringLiteral("ฝ่ายบัญชีสาขาที่ %1 <branch%1@maker.example>").arg(i);
    const QByteArray bytes = MimeMessage::compose(m);
    for (const QByteArray &line : bytes.split('\n'))
        QVERIFY2(line.size() <= 77, line.constData());
    // Every address appears whole, exactly once.
    for (int i = 0; i < 12; ++i)
        QCOMPARE(bytes.count(QStringLiteral("<branch%1@maker.example>").arg(i).toLatin1()), 1);
    // No line of the message starts with a dot, so dot-stuffing never alters it.
    QVERIFY(!bytes.startsWith('.'));
    QVERIFY(!bytes.contains("\n."));
}

QTEST_GUILESS_MAIN(TestMimeMessage)
#include "tst_mimemessage.moc"
