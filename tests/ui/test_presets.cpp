// Presets in the window: saving the options under a typed name, choosing a saved one from the menu
// "Funkce" > "Předvolby", and the dialog that renames and deletes them. The names are typed and the
// questions answered by the scripted dialogs.
#include <QtTest>
#include <fstream>

#include "engine/optionkeys.h"
#include "platform/presets.h"
#include "ui/PresetManager.h"
#include "ui/window_fixture.h"

using zelvar::fromUtf8;
using zelvar::Preset;

class TestPresets : public QObject, protected WindowFixture {
    Q_OBJECT

    std::unique_ptr<TempFolder> config;

    // Every option as a preset stores it, the folder aside.
    static std::vector<std::string> stored(const zelvar::RenameOptions& o) {
        std::vector<std::string> out;
        for (const zelvar::OptionKey& key : zelvar::optionKeys())
            out.push_back(std::string(key.name) + "=" + zelvar::optionValue(o, key));
        return out;
    }
    QStringList menuItems() {
        w->fillPresetMenu();
        QStringList out;
        for (QAction* a : ui<QMenu>("mnuPredvolby")->actions()) out << a->text() + (a->isEnabled() ? "" : " (off)");
        return out;
    }
    void writePreset(const std::string& name, const std::string& lines) {
        savePlain(name);
        std::ofstream(config->path() + "/zelvar/presets/" + zelvar::presetFileName(name))
            << "zelvar-preset 1\npreset-name=" << name << "\n"
            << lines;
    }
    void savePlain(const std::string& name) { QVERIFY(zelvar::savePreset(name, Preset{}, true).empty()); }

private slots:
    void init() {
        config = std::make_unique<TempFolder>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config->path()));
    }
    void cleanup() {
        close();
        qunsetenv("XDG_CONFIG_HOME");
        config.reset();
    }

    // What is saved is every option of the window and its layout; choosing it sets them all back,
    // controls included, with one build of the preview.
    void saveAndChoose() {
        open({"Žába a-b.jpg", "x.txt"});
        w->mnuFunkce_Click(1);
        setText("txtJmeno", "F_*");
        click("optVelikost", 2);
        ui<QCheckBox>("chkBezDia")->click();
        ui<QComboBox>("cboPauzy")->setCurrentIndex(2);
        setText("txtZamenitCo", "F");
        setText("txtZamenitZaCo", "G");
        click("optRazeni", 1);
        ui<QCheckBox>("chkKazdy")->click();
        const QString shownBefore = preview();
        QCOMPARE(shownBefore, rows({"Žába a-b.jpg -> G_ZABA_A_B.JPG", "x.txt -> G_X.TXT"}));
        const std::vector<std::string> before = stored(w->options());

        const std::string name = "Moje/../předvolba & 🐢";
        dialogs->typed = {name};
        w->mnuUlozitPredvolbu_Click();
        QCOMPARE(dialogs->prompts, std::vector<std::string>{"Jméno předvolby:|"});
        QVERIFY(dialogs->asked.empty());
        const zelvar::PresetRead read = zelvar::loadPreset(name);
        QVERIFY(read.ok());
        QCOMPARE(stored(read.preset.options), before);
        QCOMPARE(read.preset.layout, 1);
        QCOMPARE(menuItems(), QStringList{QString::fromStdString("Moje/../předvolba && 🐢")});

        w->mnuFunkce_Click(0);  // resets what the simple layout hides
        setText("txtJmeno", "*");
        click("optVelikost", 0);
        ui<QCheckBox>("chkKazdy")->click();
        QVERIFY(stored(w->options()) != before);

        const int builds = w->buildCount();
        ui<QMenu>("mnuPredvolby")->actions().front()->trigger();
        QCOMPARE(w->buildCount(), builds + 1);
        QCOMPARE(stored(w->options()), before);
        QCOMPARE(w->layoutMode(), 1);
        QVERIFY(w->windowTitle().contains("[Profesionální funkce]"));
        QCOMPARE(preview(), shownBefore);
        QCOMPARE(ui<QLineEdit>("txtJmeno")->text(), QStringLiteral("F_*"));
        QVERIFY(ui<QButtonGroup>("optVelikost")->button(2)->isChecked());
        QVERIFY(ui<QCheckBox>("chkBezDia")->isChecked() && ui<QCheckBox>("chkKazdy")->isChecked());
        QCOMPARE(ui<QComboBox>("cboPauzy")->currentIndex(), 2);
        QVERIFY(ui<QButtonGroup>("optRazeni")->button(1)->isChecked());
        QVERIFY(renameOffered());
        // The controls are bound as before: a change by the user still counts.
        click("optVelikost", 1);
        QCOMPARE(preview(), rows({"Žába a-b.jpg -> g_zaba_a_b.jpg", "x.txt -> g_x.txt"}));
    }

    // Cancelled, empty, or a name already taken: nothing is saved unless the user says to replace.
    void savingAsksBeforeReplacing() {
        open({"a.txt"});
        QCOMPARE(menuItems(), QStringList{"Žádná uložená předvolba (off)"});
        dialogs->typed = {std::nullopt, std::string()};
        w->mnuUlozitPredvolbu_Click();
        QVERIFY(zelvar::presetNames().empty() && dialogs->asked.empty());
        w->mnuUlozitPredvolbu_Click();
        QCOMPARE(dialogs->last(), std::string("Předvolba musí mít jméno."));
        QVERIFY(zelvar::presetNames().empty());

        setText("txtJmeno", "one");
        dialogs->typed = {"p"};
        w->mnuUlozitPredvolbu_Click();
        setText("txtJmeno", "two");
        dialogs->typed = {"p", "p"};
        dialogs->answers = {zelvar::Answer::no, zelvar::Answer::yes};
        w->mnuUlozitPredvolbu_Click();
        QCOMPARE(dialogs->last(), std::string("Předvolba „p“ už existuje.\r\nChcete ji nahradit?"));
        QCOMPARE(zelvar::loadPreset("p").preset.options.txtJmeno, U"one");
        w->mnuUlozitPredvolbu_Click();
        QCOMPARE(zelvar::loadPreset("p").preset.options.txtJmeno, U"two");
        QCOMPARE(dialogs->unexpected, 0);
    }

    // A damaged preset says why and changes nothing; one saved in the simple layout puts back what
    // that layout hides, a listing option lists the folder again, a radix is normalised as on leaving
    // its field, and still only one build runs.
    void damagedSimpleAndListing() {
        open({"a.txt", "b.jpg"});
        w->mnuFunkce_Click(1);
        writePreset("bad", "name=x\ncase=LOUD\n");
        const std::vector<std::string> before = stored(w->options());
        int builds = w->buildCount();
        w->mnuPredvolba_Click("bad");
        QCOMPARE(dialogs->asked.size(), std::size_t(1));
        QVERIFY(asked(0).startsWith("Předvolba je poškozená (řádek 4)"));
        QCOMPARE(dialogs->asked[0].style, zelvar::box::exclamation);
        QCOMPARE(stored(w->options()), before);
        QCOMPARE(w->buildCount(), builds);

        w->mnuPredvolba_Click("gone");
        QCOMPARE(dialogs->last(), std::string("Předvolba „gone“ neexistuje."));

        writePreset("simple", "layout=simple\nname=S*\nno-diacritics=1\nwhole=1\nfilter=*.txt\n");
        builds = w->buildCount();
        w->mnuPredvolba_Click("simple");
        QCOMPARE(w->buildCount(), builds + 1);
        QCOMPARE(w->layoutMode(), 0);
        QCOMPARE(w->options().chkBezDia, 0);     // hidden by the simple layout, and put back
        QCOMPARE(w->options().chkZamenaVse, 1);  // hidden, but the simple layout keeps it
        QCOMPARE(ui<QLineEdit>("txtVyhlFiltr")->text(), QStringLiteral("*.txt"));
        QCOMPARE(preview(), rows({"a.txt -> Sa.txt"}));

        writePreset("radix", "digits=a-z\nradix=040\nname=n:\n");
        w->mnuPredvolba_Click("radix");
        QCOMPARE(ui<QLineEdit>("txtCiselnyZaklad")->text(), QStringLiteral("26"));
        QVERIFY(shown("fraCisla"));
        QCOMPARE(preview(), rows({"a.txt -> nb.txt", "b.jpg -> nc.jpg"}));
    }

    // The dialog renames (never over another preset) and deletes (after a question).
    void managerRenamesAndDeletes() {
        dialogs = std::make_unique<ScriptedDialogs>();
        for (const char* name : {"a", "b", "c"}) savePlain(name);
        PresetManager manager(*dialogs);
        auto* list = control<QListWidget>(manager, "lstPredvolby");
        QCOMPARE(list->count(), 3);
        list->setCurrentRow(0);
        dialogs->typed = {"b", "a/ď"};
        manager.renameSelected();
        QCOMPARE(dialogs->last(), std::string("Předvolba „b“ už existuje."));
        QCOMPARE(manager.selected(), std::string("a"));
        manager.renameSelected();
        QCOMPARE(dialogs->prompts.back(), std::string("Nové jméno předvolby:|a"));
        QCOMPARE(zelvar::presetNames(), (std::vector<std::string>{"a/ď", "b", "c"}));
        QCOMPARE(manager.selected(), std::string("a/ď"));

        list->setCurrentRow(1);
        dialogs->answers = {zelvar::Answer::no, zelvar::Answer::yes};
        control<QPushButton>(manager, "cmdSmazat")->click();
        QCOMPARE(dialogs->last(), std::string("Opravdu chcete smazat předvolbu „b“?"));
        QCOMPARE(zelvar::presetNames().size(), std::size_t(3));
        control<QPushButton>(manager, "cmdSmazat")->click();
        QCOMPARE(zelvar::presetNames(), (std::vector<std::string>{"a/ď", "c"}));
        QCOMPARE(list->count(), 2);
        QVERIFY(manager.changed());
        QCOMPARE(dialogs->unexpected, 0);
    }

    // From the menu the dialog is modal; once it is closed, the submenu lists what it left.
    void managerFromTheMenu() {
        open({"a.txt"});
        savePlain("old");
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* manager = qobject_cast<PresetManager*>(QApplication::activeModalWidget());
            QVERIFY(manager);
            seen = true;
            dialogs->typed = {"new"};
            control<QPushButton>(*manager, "cmdPrejmenovat")->click();
            control<QPushButton>(*manager, "cmdZavrit")->click();
        });
        ui<QAction>("mnuSpravovatPredvolby")->trigger();
        QVERIFY(seen);
        QCOMPARE(menuItems(), QStringList{"new"});
    }
};

QTEST_MAIN(TestPresets)
#include "test_presets.moc"
