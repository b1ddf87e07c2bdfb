#include "FaxPage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace mkfax {

std::uint64_t Random::Next()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

// Everything on the pages is invented; the telephone numbers use the 555 range kept for fiction.
const std::array<const char*, 6> kCompanies = {
    "Nordwind Logistik GmbH", "Bergmann & Söhne Metallbau KG",     "Elbtal Büromöbel AG",
    "Hansen Feinkost GmbH",   "Lindenhof Druckerei GmbH & Co. KG", "Weserland Elektrotechnik GmbH",
};
const std::array<const char*, 6> kStreets = {
    "Am Mühlenteich 12", "Industriestraße 48", "Hafenkante 3a",
    "Lerchenweg 7",      "Gewerbepark Süd 21", "Kastanienallee 105",
};
const std::array<const char*, 6> kCities = {
    "21339 Lüneburg", "34117 Kassel", "01099 Dresden", "24103 Kiel", "93047 Regensburg", "28195 Bremen",
};
const std::array<const char*, 8> kPeople = {
    "Anna Köhler",     "Jürgen Wiesner", "Sabine Hoffmann", "Mehmet Yıldız",
    "Katrin Brückner", "Thomas Groß",    "Ewa Nowak",       "Frank Oberländer",
};
const std::array<const char*, 10> kSubjects = {
    "Die Lieferung", "Unser Außendienst", "Die Rechnung",       "Der Liefertermin", "Ihre Bestellung",
    "Die Ware",      "Das Angebot",       "Unsere Buchhaltung", "Die Spedition",    "Der Kundendienst",
};
const std::array<const char*, 12> kMiddles = {
    "voraussichtlich in der nächsten Woche",
    "bis Ende des Monats",
    "nach Rücksprache mit Ihrem Einkauf",
    "wie telefonisch vereinbart",
    "ohne zusätzliche Kosten",
    "in zwei Teillieferungen",
    "frei Haus",
    "umgehend",
    "gemäß unseren Lieferbedingungen",
    "nach Eingang Ihrer Zahlung",
    "mit der Spedition Krause",
    "spätestens am Freitag",
};
const std::array<const char*, 10> kVerbs = {
    "versandt",     "geprüft",    "bestätigt", "zugestellt",    "berechnet",
    "ausgeliefert", "bearbeitet", "storniert", "nachgeliefert", "verpackt",
};
const std::array<const char*, 8> kFixed = {
    "Bitte prüfen Sie die beigefügten Unterlagen auf Vollständigkeit.",
    "Für Rückfragen stehen wir Ihnen gerne zur Verfügung.",
    "Zahlbar innerhalb von 14 Tagen ohne Abzug.",
    "Die Preise verstehen sich zuzüglich der gesetzlichen Mehrwertsteuer.",
    "Beanstandungen melden Sie bitte innerhalb von acht Tagen nach Erhalt der Ware.",
    "Eine Kopie dieses Schreibens geht an unsere Niederlassung in Bremen.",
    "Wir danken für Ihr Vertrauen und die gute Zusammenarbeit.",
    "Teilen Sie uns bitte mit, ob die Anlieferung an die Rampe 4 erfolgen kann.",
};
struct Article
{
    const char* name;
    int cents;
};
const std::array<Article, 10> kArticles = {{
    {"Ordner A4, 8 cm, blau", 289},
    {"Kopierpapier 80 g/m², 500 Blatt", 449},
    {"Palettenregal 2000 mm, verzinkt", 18900},
    {"Schrauben M8 x 40, 100 Stück", 1275},
    {"Kabelkanal 60 x 40 mm, 2 m", 835},
    {"Druckerpatrone schwarz XL", 3990},
    {"Versandkarton 600 x 400 x 400", 212},
    {"Stretchfolie 23 µm, 300 m", 1650},
    {"Etiketten 70 x 36 mm, 2400 Stück", 1999},
    {"Bürostuhl Modell Aalto", 24900},
}};

QString U(const char* s)
{
    return QString::fromUtf8(s);
}

QString Money(long long cents)
{
    QString euros = QString::number(cents / 100);
    for (int i = euros.size() - 3; i > 0; i -= 3) {
        euros.insert(i, QLatin1Char('.'));
    }
    return euros + QLatin1Char(',') + QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0')) +
           QStringLiteral(" €");
}

QString Sentence(Random& r)
{
    if (r.Below(4) == 0) {
        return U(r.Pick(kFixed));
    }
    const QString subject = U(r.Pick(kSubjects));
    const QString middle = U(r.Pick(kMiddles));
    const QString verb = U(r.Pick(kVerbs));
    switch (r.Below(3)) {
    case 0:
        return subject + QStringLiteral(" wird ") + middle + QLatin1Char(' ') + verb + QLatin1Char('.');
    case 1:
        return subject + QStringLiteral(" wurde bereits ") + middle + QLatin1Char(' ') + verb +
               QLatin1Char('.');
    default:
        return subject + QStringLiteral(" kann ") + middle + QLatin1Char(' ') + verb +
               QStringLiteral(" werden.");
    }
}

QString Paragraph(Random& r, int sentences)
{
    QStringList parts;
    for (int i = 0; i < sentences; ++i) {
        parts << Sentence(r);
    }
    return parts.join(QLatin1Char(' '));
}

// Fonts in page units (0.1 mm); the painter's scale maps them onto the page's pixels.
QFont Font(const char* family, int size, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(size);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace

void Threshold(QImage& grey, int rows)
{
    const int w = grey.width();
    const int h = rows < 0 ? grey.height() : std::min(rows, grey.height());
    for (int y = 0; y < h; ++y) {
        uchar* p = grey.scanLine(y);
        for (int x = 0; x < w; ++x) {
            p[x] = p[x] < 128 ? 0 : 255;
        }
    }
}

PageComposer::PageComposer(const FaxDocSpec& desc) : m_doc(desc)
{
    Random r(0xF0117A17ull ^ (static_cast<std::uint64_t>(desc.seed) << 17));
    const int s = r.Below(static_cast<int>(kCompanies.size()));
    m_sender = {U(kCompanies[s]),
                U(kStreets[s]),
                U(kCities[s]),
                QStringLiteral("+49 (0)%1 555 %2").arg(r.Between(30, 941)).arg(r.Between(1000, 9999)),
                QStringLiteral("+49 (0)%1 555 %2").arg(r.Between(30, 941)).arg(r.Between(1000, 9999)),
                U(r.Pick(kPeople)),
                QStringLiteral("IBAN DE%1 5005 0000 %2 %3 00")
                    .arg(r.Between(10, 99))
                    .arg(r.Between(1000, 9999))
                    .arg(r.Between(1000, 9999))};
    const int t =
        (s + 1 + r.Below(static_cast<int>(kCompanies.size()) - 1)) % static_cast<int>(kCompanies.size());
    m_recipient = {U(kCompanies[t]), QStringLiteral("z. Hd. ") + U(r.Pick(kPeople)), U(kStreets[t]),
                   U(kCities[t])};
}

QImage PageComposer::Page(int index)
{
    if (m_doc.paintPage) {
        QImage img(m_doc.width, m_doc.height,
                   m_doc.colour == FaxDocSpec::Colour::Rgb ? QImage::Format_RGB888
                                                           : QImage::Format_Grayscale8);
        img.fill(Qt::white);
        m_doc.paintPage(img, index);
        if (m_doc.colour == FaxDocSpec::Colour::Bilevel) {
            Threshold(img);
        }
        return img;
    }
    // Page 1 is the fax cover sheet; the following pages cycle through four kinds of letter.
    const int kind = index == 0 ? 0 : 1 + (index - 1) % 4;
    QImage img = Body(kind).copy();
    const int overlayRows = DrawOverlay(img, index);
    if (m_doc.colour == FaxDocSpec::Colour::Bilevel) {
        Threshold(img, overlayRows); // the body below is thresholded already
    }
    return img;
}

const QImage& PageComposer::Body(int kind)
{
    auto it = m_bodies.find(kind);
    if (it == m_bodies.end()) {
        QImage img(m_doc.width, m_doc.height,
                   m_doc.colour == FaxDocSpec::Colour::Rgb ? QImage::Format_RGB888
                                                           : QImage::Format_Grayscale8);
        img.fill(Qt::white);
        DrawBody(img, kind);
        if (m_doc.colour == FaxDocSpec::Colour::Bilevel) {
            Threshold(img);
        }
        it = m_bodies.emplace(kind, std::move(img)).first;
    }
    return it->second;
}

void PageComposer::DrawBody(QImage& img, int kind)
{
    const bool colour = m_doc.colour == FaxDocSpec::Colour::Rgb;
    const QColor ink = Qt::black;
    const QColor accent = colour ? QColor(20, 60, 140) : ink;
    Random r(0xB0D1E5ull + static_cast<std::uint64_t>(m_doc.seed) * 977 +
             static_cast<std::uint64_t>(kind) * 31);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(img.width() / 2100.0, img.height() / 2970.0);

    // Letterhead: a mark, the company, its address, a rule.
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(QRectF(200, 130, 150, 150));
    p.setBrush(colour ? QColor(230, 150, 30) : QColor(Qt::white));
    QPainterPath wing;
    wing.moveTo(235, 245);
    wing.lineTo(275, 160);
    wing.lineTo(320, 245);
    wing.closeSubpath();
    p.drawPath(wing);
    p.setPen(accent);
    p.setFont(Font("DejaVu Serif", 70, true));
    p.drawText(QPointF(390, 210), m_sender.company);
    p.setPen(ink);
    p.setFont(Font("DejaVu Sans", 30));
    p.drawText(QPointF(390, 265), m_sender.street + QStringLiteral(" · ") + m_sender.city +
                                      QStringLiteral(" · Tel. ") + m_sender.phone);
    p.setPen(QPen(accent, 6));
    p.drawLine(QPointF(200, 320), QPointF(1450, 320));

    // Recipient and date.
    p.setPen(ink);
    p.setFont(Font("DejaVu Sans", 24));
    p.drawText(QPointF(200, 470), m_sender.company + QStringLiteral(", ") + m_sender.street +
                                      QStringLiteral(", ") + m_sender.city);
    p.setFont(Font("DejaVu Sans", 38));
    for (int i = 0; i < m_recipient.size(); ++i) {
        p.drawText(QPointF(200, 540 + i * 50), m_recipient.at(i));
    }
    const QString date = QStringLiteral("%1.%2.2024")
                             .arg(r.Between(1, 28), 2, 10, QLatin1Char('0'))
                             .arg(r.Between(1, 12), 2, 10, QLatin1Char('0'));
    p.drawText(QRectF(1300, 700, 600, 50), Qt::AlignRight,
               m_sender.city.mid(6) + QStringLiteral(", ") + date);

    const QFont body = Font("DejaVu Serif", 40);
    const QFont bold = Font("DejaVu Sans", 40, true);
    qreal y = 830;
    auto text = [&](const QString& t, const QFont& f, qreal height) {
        p.setFont(f);
        QRectF used;
        p.drawText(QRectF(200, y, 1700, height), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, t, &used);
        y += used.height() + 35;
    };

    if (kind == 0) {
        // Fax cover sheet.
        p.setFont(Font("DejaVu Sans", 120, true));
        p.drawText(QPointF(200, y + 110), QStringLiteral("TELEFAX"));
        y += 200;
        p.setFont(Font("DejaVu Sans", 42));
        const QStringList labels = {QStringLiteral("An:"), QStringLiteral("Von:"), QStringLiteral("Fax:"),
                                    QStringLiteral("Seiten:"), QStringLiteral("Betreff:")};
        const QStringList values = {m_recipient.at(0),
                                    m_sender.person + QStringLiteral(", ") + m_sender.company, m_sender.fax,
                                    QString::number(m_doc.pages) + QStringLiteral(" (inkl. Deckblatt)"),
                                    QStringLiteral("Unterlagen zu Auftrag %1").arg(r.Between(10000, 99999))};
        for (int i = 0; i < labels.size(); ++i) {
            p.drawText(QPointF(200, y), labels.at(i));
            p.drawText(QPointF(600, y), values.at(i));
            p.setPen(QPen(ink, 3));
            p.drawLine(QPointF(600, y + 15), QPointF(1900, y + 15));
            p.setPen(ink);
            y += 90;
        }
        y += 60;
        text(QStringLiteral("Sehr geehrte Damen und Herren,"), body, 60);
        for (int i = 0; i < 3; ++i) {
            text(Paragraph(r, r.Between(3, 5)), body, 600);
        }
    } else {
        static const char* titles[] = {"Auftragsbestätigung", "Lieferschein", "Rechnung", "Mahnung"};
        const int number = r.Between(100000, 999999);
        text(U(titles[kind - 1]) + QStringLiteral(" Nr. %1").arg(number), bold, 80);
        text(QStringLiteral("Sehr geehrte Damen und Herren,"), body, 60);
        text(Paragraph(r, r.Between(2, 4)), body, 500);

        if (kind == 2 || kind == 3) {
            // Table of articles.
            const qreal cols[] = {200, 300, 470, 1190, 1350, 1620, 1900};
            const QStringList heads = {QStringLiteral("Pos."),        QStringLiteral("Art.-Nr."),
                                       QStringLiteral("Bezeichnung"), QStringLiteral("Menge"),
                                       QStringLiteral("Einzelpreis"), QStringLiteral("Gesamt")};
            const int rows = r.Between(5, 9);
            const qreal rowH = 60;
            const qreal top = y;
            p.setFont(Font("DejaVu Sans", 30, true));
            for (int c = 0; c < heads.size(); ++c) {
                p.drawText(QRectF(cols[c] + 10, top, cols[c + 1] - cols[c] - 20, rowH),
                           Qt::AlignVCenter | (c >= 3 ? Qt::AlignRight : Qt::AlignLeft), heads.at(c));
            }
            p.setFont(Font("DejaVu Sans", 30));
            long long sum = 0;
            for (int i = 0; i < rows; ++i) {
                const Article& a = r.Pick(kArticles);
                const int qty = r.Between(1, 60);
                const long long total = static_cast<long long>(qty) * a.cents;
                sum += total;
                const QStringList cells = {QString::number(i + 1),
                                           QString::number(r.Between(10000, 99999)),
                                           U(a.name),
                                           QString::number(qty),
                                           Money(a.cents),
                                           Money(total)};
                for (int c = 0; c < cells.size(); ++c) {
                    p.drawText(QRectF(cols[c] + 10, top + (i + 1) * rowH, cols[c + 1] - cols[c] - 20, rowH),
                               Qt::AlignVCenter | (c >= 3 ? Qt::AlignRight : Qt::AlignLeft), cells.at(c));
                }
            }
            p.setPen(QPen(ink, 4));
            for (int i = 0; i <= rows + 1; ++i) {
                p.drawLine(QPointF(cols[0], top + i * rowH), QPointF(cols[6], top + i * rowH));
            }
            for (qreal x : cols) {
                p.drawLine(QPointF(x, top), QPointF(x, top + (rows + 1) * rowH));
            }
            p.setPen(ink);
            y = top + (rows + 1) * rowH + 30;
            const long long vat = (sum * 19 + 50) / 100;
            const QStringList sumLabels = {QStringLiteral("Nettobetrag"), QStringLiteral("zzgl. 19 % MwSt."),
                                           QStringLiteral("Gesamtbetrag")};
            const QList<long long> sums = {sum, vat, sum + vat};
            for (int i = 0; i < 3; ++i) {
                p.setFont(Font("DejaVu Sans", 32, i == 2));
                p.drawText(QRectF(1100, y, 450, 50), Qt::AlignRight, sumLabels.at(i));
                p.drawText(QRectF(1560, y, 330, 50), Qt::AlignRight, Money(sums.at(i)));
                y += 55;
            }
            y += 40;
        }
        for (int i = 0; i < (kind == 1 || kind == 4 ? 4 : 1); ++i) {
            text(Paragraph(r, r.Between(3, 6)), body, 500);
        }
    }

    // Closing, signature, footer.
    y = std::max(y, 2150.0);
    text(QStringLiteral("Mit freundlichen Grüßen"), body, 60);
    QPainterPath sig;
    sig.moveTo(220, y + 110);
    for (int i = 0; i < 6; ++i) {
        sig.cubicTo(260 + i * 70, y - 20 + r.Below(40), 280 + i * 70, y + 170 - r.Below(40), 320 + i * 70,
                    y + 90);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour ? QColor(10, 30, 120) : ink, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(sig);
    p.setPen(ink);
    p.setFont(body);
    p.drawText(QPointF(200, y + 230), m_sender.person);
    if (colour) {
        // A received stamp, as the post room puts it on scanned letters.
        p.save();
        p.translate(1450, 2350);
        p.rotate(-12);
        p.setPen(QPen(QColor(200, 30, 30), 8));
        p.drawRoundedRect(QRectF(-280, -90, 560, 180), 20, 20);
        p.setFont(Font("DejaVu Sans", 60, true));
        p.drawText(QRectF(-280, -90, 560, 180), Qt::AlignCenter, QStringLiteral("EINGEGANGEN\n") + date);
        p.restore();
    }
    p.setPen(QPen(ink, 3));
    p.drawLine(QPointF(200, 2780), QPointF(1900, 2780));
    p.setFont(Font("DejaVu Sans", 24));
    p.drawText(QRectF(200, 2800, 1700, 100), Qt::AlignLeft | Qt::TextWordWrap,
               m_sender.company + QStringLiteral(" · Geschäftsführung: ") + m_sender.person +
                   QStringLiteral(" · Amtsgericht ") + m_sender.city.mid(6) + QStringLiteral(" HRB ") +
                   QString::number(r.Between(1000, 99999)) + QStringLiteral(" · ") + m_sender.bank);
}

int PageComposer::DrawOverlay(QImage& img, int index)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(img.width() / 2100.0, img.height() / 2970.0);

    // The fax machine's transmission line.
    p.setPen(Qt::black);
    p.setFont(Font("DejaVu Sans Mono", 26));
    p.drawText(
        QPointF(60, 55),
        QStringLiteral("07.03.2024  09:41   VON: %1   %2").arg(m_sender.fax, m_sender.company.left(28)));
    p.drawText(QRectF(1300, 25, 740, 40), Qt::AlignRight,
               QStringLiteral("S. %1/%2").arg(index + 1).arg(m_doc.pages));

    // The page number, large enough to read on a thumbnail.
    const QRectF box(1540, 90, 480, 320);
    p.setPen(QPen(Qt::black, 10));
    p.setBrush(Qt::white);
    p.drawRect(box);
    p.setFont(Font("DejaVu Sans", 40));
    p.drawText(box.adjusted(0, 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Seite"));
    const QString number = QString::number(index + 1);
    QFont big = Font("DejaVu Sans", 230, true);
    const qreal w = QFontMetricsF(big).horizontalAdvance(number);
    if (w > box.width() - 40) {
        big.setPixelSize(static_cast<int>(230 * (box.width() - 40) / w));
    }
    p.setFont(big);
    p.drawText(box.adjusted(0, 60, 0, 0), Qt::AlignCenter, number);
    // Rows below the box (and its pen) are the body's.
    return std::min(img.height(), static_cast<int>((box.bottom() + 10) * img.height() / 2970.0) + 2);
}

} // namespace mkfax
