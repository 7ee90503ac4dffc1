#pragma once

#include "EditorAccess.h"
#include "RichTextBox.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHash>

#include <array>
#include <memory>

// Seven note boxes, the formatting toolbar's actions and the font boxes, as the main window
// builds them, so the editing classes can be driven without it.
struct EditingFixture
{
    std::array<std::unique_ptr<RichTextBox>, 7> boxes;
    int active = 1;
    int shown = 1;
    int focusRequests = 0;
    QHash<QString, QAction *> buttons;
    QActionGroup alignGroup{nullptr};
    QComboBox nameBox;
    QComboBox sizeBox;

    EditingFixture()
    {
        for (auto &box : boxes)
            box = std::make_unique<RichTextBox>();
        alignGroup.setExclusive(true);
        for (const char *key : {"Bold", "Italic", "Underline", "Align Left", "Center", "Align Right",
                                "FPt", "Bullets"}) {
            auto *action = new QAction(QString::fromLatin1(key), &alignGroup);
            action->setObjectName(QString::fromLatin1(key));
            action->setCheckable(true);
            buttons.insert(action->objectName(), action);
        }
        alignGroup.removeAction(buttons.value(QStringLiteral("Bold")));
        for (const char *key : {"Bold", "Italic", "Underline", "FPt", "Bullets"})
            alignGroup.removeAction(buttons.value(QString::fromLatin1(key)));
        for (QComboBox *fontBox : {&nameBox, &sizeBox}) {
            fontBox->setEditable(true);
            fontBox->setInsertPolicy(QComboBox::NoInsert);
        }
    }

    RichTextBox &box(int n) { return *boxes[size_t(n - 1)]; }

    EditorAccess access()
    {
        EditorAccess a;
        a.active = [this] { return &box(active); };
        a.shown = [this] { return &box(shown); };
        a.focusShown = [this] { ++focusRequests; };
        return a;
    }

    bool pressed(const char *key) const { return buttons.value(QString::fromLatin1(key))->isChecked(); }
};
