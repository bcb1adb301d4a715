// Presets in the window: saving the options under a typed name, choosing a saved one from the menu
// "Funkce" > "Předvolby", and the dialog that renames and deletes them. The names are typed and the
// questions answered by the scripted dialogs.
#include <QtTest>
#include <fstream>

#include "engine/optionkeys.h"
#include "platform/presets.h"
#include "ui/PresetManager.h"
#include "ui/window_fixture.h"

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
    static void savePlain(const std::string& name) { QVERIFY(zelvar::savePreset(name, Preset{}, true).empty()); }
    // A preset written by hand with the given lines, then chosen from the menu.
    void choose(const std::string& name, const std::string& lines) {
        savePlain(name);
        const std::string path = config->path() + "/zelvar/presets/" + zelvar::presetFileName(name);
        std::ofstream(path) << "zelvar-preset 1\npreset-name=" + name + "\n" + lines;
        w->mnuPredvolba_Click(name);
    }

private slots:
    void init() { config = std::make_unique<TempFolder>(), qputenv("XDG_CONFIG_HOME", config->path().c_str()); }
    void cleanup() { close(), qunsetenv("XDG_CONFIG_HOME"), config.reset(); }

    // What is saved is every option of the window and its layout, under an odd name; choosing it sets
    // them all back, controls included, with one build of the preview.
    void saveAndChoose() {
        openProfessional({"Žába a-b.jpg", "x.txt"});
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
        QCOMPARE(menuItems(), QStringList{QString::fromStdString("Moje/../předvolba && 🐢")});

        w->mnuFunkce_Click(0);  // resets what the simple layout hides
        setText("txtJmeno", "*");
        click("optVelikost", 0);
        ui<QCheckBox>("chkKazdy")->click();
        QVERIFY(stored(w->options()) != before);

        const int builds = w->buildCount();
        ui<QMenu>("mnuPredvolby")->actions().front()->trigger();
        QVERIFY(w->buildCount() == builds + 1 && w->layoutMode() == 1);
        QCOMPARE(stored(w->options()), before);
        QCOMPARE(preview(), shownBefore);
        // The controls are set back and bound as before: a change by the user still counts.
        QVERIFY(ui<QComboBox>("cboPauzy")->currentIndex() == 2 && ui<QButtonGroup>("optRazeni")->checkedId() == 1);
        click("optVelikost", 1);
        QCOMPARE(preview(), rows({"Žába a-b.jpg -> g_zaba_a_b.jpg", "x.txt -> g_x.txt"}));
    }

    // Cancelled, empty, or a name already taken: nothing is saved unless the user says to replace.
    void savingAsksBeforeReplacing() {
        open({"a.txt"});
        QCOMPARE(menuItems(), QStringList{"Žádná uložená předvolba (off)"});
        dialogs->typed = {std::nullopt, std::string(), "p", "p", "p"};
        w->mnuUlozitPredvolbu_Click();
        QVERIFY(dialogs->asked.empty());
        w->mnuUlozitPredvolbu_Click();
        QVERIFY(dialogs->last() == "Předvolba musí mít jméno." && zelvar::presetNames().empty());
        setText("txtJmeno", "one");
        w->mnuUlozitPredvolbu_Click();
        setText("txtJmeno", "two");
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
        openProfessional({"a.txt", "b.jpg"});
        const std::vector<std::string> before = stored(w->options());
        int builds = w->buildCount();
        choose("bad", "name=x\ncase=LOUD\n");
        QVERIFY(dialogs->asked.size() == 1 && asked(0).startsWith("Předvolba je poškozená (řádek 4)"));
        QCOMPARE(dialogs->asked[0].style, zelvar::box::exclamation);
        QVERIFY(stored(w->options()) == before && w->buildCount() == builds);
        w->mnuPredvolba_Click("gone");
        QCOMPARE(dialogs->last(), std::string("Předvolba „gone“ neexistuje."));

        builds = w->buildCount();
        choose("simple", "layout=simple\nname=S*\nno-diacritics=1\nwhole=1\nfilter=*.txt\n");
        QVERIFY(w->buildCount() == builds + 1 && w->layoutMode() == 0);
        // Hidden by the simple layout and put back (no diacritics), hidden but kept by it (whole).
        QVERIFY(w->options().chkBezDia == 0 && w->options().chkZamenaVse == 1);
        QCOMPARE(ui<QLineEdit>("txtVyhlFiltr")->text(), QStringLiteral("*.txt"));
        QCOMPARE(preview(), rows({"a.txt -> Sa.txt"}));

        choose("radix", "digits=a-z\nradix=040\nname=n:\n");
        QVERIFY(ui<QLineEdit>("txtCiselnyZaklad")->text() == "26" && shown("fraCisla"));
        QCOMPARE(preview(), rows({"a.txt -> nb.txt", "b.jpg -> nc.jpg"}));
    }

    // The dialog renames (never over another preset) and deletes (after a question); from the menu it
    // is modal, and once it is closed the submenu lists what it left.
    void managerRenamesAndDeletes() {
        open({"a.txt"});
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
        QCOMPARE(manager.selected(), std::string("a/ď"));
        QCOMPARE(menuItems(), (QStringList{"a/ď", "b", "c"}));
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* modal = qobject_cast<PresetManager*>(QApplication::activeModalWidget());
            QVERIFY(seen = modal != nullptr);
            control<QListWidget>(*modal, "lstPredvolby")->setCurrentRow(1);
            dialogs->answers = {zelvar::Answer::no, zelvar::Answer::yes};
            for (int k = 0; k < 2; ++k) control<QPushButton>(*modal, "cmdSmazat")->click();
            control<QPushButton>(*modal, "cmdZavrit")->click();
        });
        ui<QAction>("mnuSpravovatPredvolby")->trigger();
        QVERIFY(seen);
        QCOMPARE(dialogs->last(), std::string("Opravdu chcete smazat předvolbu „b“?"));
        QCOMPARE(menuItems(), (QStringList{"a/ď", "c"}));
        QCOMPARE(dialogs->unexpected, 0);
    }
};

QTEST_MAIN(TestPresets)
#include "test_presets.moc"
