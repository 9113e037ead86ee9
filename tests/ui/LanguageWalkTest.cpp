// Every window in Polish, walked control by control: no caption, title, item, hint or standard button left in
// English, and every control that shows no text of its own has a name a screen reader can say.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <set>

#include "FakeInteraction.h"
#include "Widgets.h"
#include "support/TempDir.h"
#include "ui/BackgroundJob.h"
#include "ui/DesktopProgram.h"

using namespace Qt::StringLiterals;
using namespace cardmill;
using test::child;

namespace {

// Words that are the same in both languages, or names that are not translated (ADIF fields, formats, units).
const std::set<QString> kSameInBoth{
    u"QSL_SENT"_s, u"QSL_RCVD"_s, u"QSL_PRINT"_s, u"ADIF"_s,        u"PDF"_s,        u"CARDMILL"_s, u"SWL"_s,
    u"QRG"_s,      u"QSO"_s,      u"QSOs"_s,      u"Format"_s,      u"Folder"_s,     u"OK"_s,       u"Separator"_s,
    u"docx"_s,     u"odt"_s,      u"Word"_s,      u"LibreOffice"_s, u"temporary"_s,  u"doc"_s,      u"Sep"_s,
    u"Avery"_s,    u"Custom"_s,   u"APP"_s,       u"USERDEF"_s,     u"MHz"_s,        u"kHz"_s,      u"SP3KXQ"_s,
    u"Letter"_s,   u"Legal"_s,    u"A4"_s,        u"CUPS"_s,        u"PostScript"_s, u"direct"_s};

struct Seen {
    QString where, text;
};

// The texts a user reads in a window, each with the control that shows it.
std::vector<Seen> textsOf(QWidget* window)
{
    std::vector<Seen> out;
    auto add = [&](QWidget* w, const QString& text) {
        // Paths are the user's, and the printer's make and model its maker's, not the program's words.
        if (!text.trimmed().isEmpty() && !QDir::isAbsolutePath(text) && w->objectName() != u"type"_s)
            out.push_back({window->objectName() + u"/"_s + w->objectName() + u" "_s +
                               QString::fromLatin1(w->metaObject()->className()),
                           text});
    };
    add(window, window->windowTitle());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(w, b->text());
        else if (auto* l = qobject_cast<QLabel*>(w))
            add(w, l->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            add(w, g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w))
            add(w, e->placeholderText());
        // The profile lists hold the user's names.
        if (auto* c = qobject_cast<QComboBox*>(w);
            c && c->objectName() != u"ComboBox2"_s &&
            !(window->objectName() == u"FSetup"_s && c->objectName() == u"ComboBox1"_s))
            for (int i = 0; i < c->count(); ++i)
                add(w, c->itemText(i));
        add(w, w->toolTip());
        add(w, w->accessibleName());
    }
    return out;
}

// Controls that show no text of their own and have no name to be spoken by; and a window that does not fit a
// screen of 1280 x 800 at scale 1 with room for its frame.
std::vector<QString> unnamed(QWidget* window)
{
    std::vector<QString> out;
    const QSize size = window->isVisible() ? window->frameGeometry().size() : window->sizeHint();
    if (size.width() > 1280 || size.height() > 760)
        out.push_back(window->objectName() + u" is too large: "_s + QString::number(size.width()) + u" x "_s +
                      QString::number(size.height()));
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QListWidget*>(w);
        QWidget* p = w->parentWidget();
        const bool part = p && (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p)); // a spin's edit
        const bool qtOwn = w->objectName().startsWith(u"qt_"_s) || w->objectName().isEmpty();
        if (input && !part && !qtOwn && w->accessibleName().trimmed().isEmpty())
            out.push_back(window->objectName() + u"/"_s + w->objectName());
        // A button that shows no text (a box's clear button) has a name to be said.
        if (auto* b = qobject_cast<QAbstractButton*>(w);
            b && b->isVisible() && b->text().isEmpty() && b->accessibleName().trimmed().isEmpty())
            out.push_back(window->objectName() + u"/"_s + w->objectName() + u" (a button without a name)"_s);
    }
    return out;
}

} // namespace

class LanguageWalkTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    test::FakeInteraction interaction;

    // Every window of the program in one language: the main window with its filters, the profile setup, the
    // configuration, the stock dialog and the preview of a run's labels.
    std::vector<Seen> walk(bool polish, std::vector<QString>& nameless)
    {
        const auto ini = *dir / "program" / "cardmill.ini";
        const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
        std::filesystem::copy_file(examples / "sp3kxq.adi", *dir / "sp3kxq.adi",
                                   std::filesystem::copy_options::overwrite_existing);
        std::ofstream(ini, std::ios::binary)
            << "[Example]\r\nSource file=" << (*dir / "sp3kxq.adi").string()
            << "\r\nLabel sheet=A4,3,7,63.5,38.1,7.2,15.15,66.04,38.1\r\nQSOs on label=3\r\n"
               "[Profile]\r\nLast profile=0\r\n[Program]\r\nOwn call=SP3KXQ\r\nPolish language="
            << (polish ? "1" : "0") << "\r\n";
        DesktopProgram program(ini, *dir / "program");
        TForm1& form = program.form;
        form.show();
        form.startupLoad();
        form.SpeedButton1Click(); // the filters open
        std::vector<Seen> seen = textsOf(&form);
        nameless = unnamed(&form);
        auto collect = [&](QDialog& d) {
            for (Seen& s : textsOf(&d))
                seen.push_back(std::move(s));
            for (QString& n : unnamed(&d))
                nameless.push_back(std::move(n));
            return 0;
        };
        interaction.onDialog = collect;
        form.Button8Click();
        form.Button2Click();
        form.editDesign(); // the designer
        form.editRoutes(); // the route choices
        // The stock dialog as it opens, and again with a stock of the catalogue picked (it must not grow off
        // the screen then).
        interaction.onDialog = [&](QDialog& d) {
            d.show();
            collect(d);
            auto* list = child<QListWidget>(&d, "StockList");
            list->setCurrentRow(std::min(list->count() - 1, 1));
            QCoreApplication::processEvents();
            collect(d);
            return 0;
        };
        form.ButtonNewClick();
        interaction.onDialog = {};
        form.Button1Click();
        for (int i = 0; i < 6000 && form.running(); ++i)
            QTest::qWait(10);
        // The status bar after the run, the preview, the print dialog and the progress window of printing.
        for (Seen& s : textsOf(&form))
            seen.push_back(std::move(s));
        if (QWidget* preview = form.preview()) {
            collect(*qobject_cast<QDialog*>(preview));
            bool printDialog = false;
            interaction.onDialog = [&](QDialog& d) {
                printDialog = true;
                d.show();
                for (Seen& s : textsOf(&d)) // Qt's own dialog: its texts, not the names of its controls
                    seen.push_back(std::move(s));
                auto* printer = dynamic_cast<QPrintDialog&>(d).printer();
                printer->setOutputFormat(QPrinter::PdfFormat);
                printer->setOutputFileName(QString::fromStdString((*dir / "printed.pdf").string()));
                return int(QDialog::Accepted);
            };
            QTest::mouseClick(child<QPushButton>(preview, "PreviewPrint"), Qt::LeftButton);
            if (auto* progress = preview->findChild<QProgressDialog*>(u"JobProgress"_s)) {
                progress->show();
                collect(*progress);
            } else {
                seen.push_back({u"no progress window"_s, u"no progress window"_s});
            }
            for (int i = 0; i < 3000 && preview->findChild<BackgroundJob*>(); ++i)
                QTest::qWait(10);
            if (!printDialog)
                seen.push_back({u"no print dialog"_s, u"no print dialog"_s});
            interaction.onDialog = {};
        } else {
            seen.push_back({u"no preview"_s, u"no preview"_s});
        }
        return seen;
    }

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        std::filesystem::create_directories(*dir / "program");
        interaction = {};
        setUserInteraction(&interaction);
    }
    void cleanup()
    {
        setUserInteraction(nullptr);
        dir.reset();
    }

    void everyWindowInPolishHasNoEnglishTextAndEveryControlAName()
    {
        std::vector<QString> namelessEnglish, namelessPolish;
        const std::vector<Seen> english = walk(false, namelessEnglish);
        const std::vector<Seen> polish = walk(true, namelessPolish);
        std::set<QString> englishTexts;
        for (const Seen& s : english)
            englishTexts.insert(s.text);
        const QRegularExpression word(u"[A-Za-z_]{3,}"_s);
        QStringList left;
        for (const Seen& s : polish) {
            if (!englishTexts.count(s.text))
                continue;
            for (auto it = word.globalMatch(s.text); it.hasNext();)
                if (!kSameInBoth.count(it.next().captured())) {
                    left << s.where + u": "_s + s.text;
                    break;
                }
        }
        left.removeDuplicates();
        QVERIFY2(left.isEmpty(), qPrintable(u"English in the Polish windows:\n"_s + left.join(u'\n')));
        QStringList nameless;
        for (const QString& n : namelessPolish)
            nameless << n;
        nameless.removeDuplicates();
        for (const QString& n : namelessEnglish)
            nameless << n;
        nameless.removeDuplicates();
        QVERIFY2(nameless.isEmpty(),
                 qPrintable(u"Controls without a spoken name, windows too large:\n"_s + nameless.join(u'\n')));
        QVERIFY(polish.size() > 100);
        for (const std::vector<Seen>* walked : {&english, &polish})
            for (const Seen& s : *walked)
                QVERIFY2(!s.where.startsWith(u"no "_s), qPrintable(s.where)); // a window the walk did not reach
        for (const char* window : {"Form1/", "FSetup/", "FADIF1/", "FDesigner/", "TFStock/", "LabelPreview/"})
            QVERIFY2(std::any_of(polish.begin(), polish.end(),
                                 [&](const Seen& s) { return s.where.startsWith(QString::fromLatin1(window)); }),
                     window);
    }
};

QTEST_MAIN(LanguageWalkTest)
#include "LanguageWalkTest.moc"
