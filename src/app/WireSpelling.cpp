#include "DictionaryLocator.h"
#include "EditingSession.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "SpellChecker.h"
#include "SpellSession.h"
#include "Wiring.h"

#include <QAction>
#include <QLocale>
#include <QTimer>

void wireSpelling(Quillbox &window)
{
    // Reading a dictionary takes a moment: it happens once the window is up, not before.
    if (QAction *command = window.menuItem(QStringLiteral("spellcheck"))) {
        command->setCheckable(true);
        command->setEnabled(false);
    }
    QTimer::singleShot(0, &window, [&window] {
        auto *checker = new SpellChecker(&window);
        QStringList languages{QLocale::system().name()};
        languages += QLocale::system().uiLanguages();
        const DictionaryLocator::Found dictionary = DictionaryLocator::find(languages);
        checker->setPersonalWordList(SpellChecker::defaultPersonalWordList());
        if (dictionary.isValid())
            checker->open(dictionary.affPath, dictionary.dicPath);

        // Notes still being read are not waited for: the checking follows each into its box.
        QList<RichTextBox *> editors;
        for (int n = 1; n <= 7; ++n)
            if (RichTextBox *box = window.boxOf(n))
                editors.append(box);
        auto *session = new SpellSession(checker, &window.settings(), editors, &window);
        session->setAction(window.menuItem(QStringLiteral("spellcheck")));
        if (auto *editing = window.findChild<EditingSession *>())
            editing->setContextItems([session](QMenu *menu, RichTextBox *box, const QPoint &globalPos) {
                return session->addContextItems(menu, box, globalPos);
            });
    });
}
