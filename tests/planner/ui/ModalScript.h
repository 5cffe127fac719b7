// Test helpers for windows that run modally: act on a modal window once it is up.
#pragma once

#include "platform/ui/Forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Runs action on the first visible modal window of class T as soon as one is up (it is
// looked for again on every turn of the event loop for a while).
template <class T>
void WhenModal(std::function<void(T&)> action, int tries = 500)
{
    QTimer::singleShot(0, [action = std::move(action), tries]() mutable {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = dynamic_cast<T*>(w);
            if (form && form->Modal() && form->isVisible()) {
                action(*form);
                return;
            }
        }
        if (tries > 0)
            WhenModal<T>(std::move(action), tries - 1);
        else
            ADD_FAILURE() << "the modal window never came up";
    });
}

// Runs action on the modal dialog (a QDialog) of class T once it is up (looked for every few
// milliseconds for up to a minute).
template <class T>
void WhenDialog(std::function<void(T&)> action, std::shared_ptr<QElapsedTimer> since = nullptr)
{
    if (!since) {
        since = std::make_shared<QElapsedTimer>();
        since->start();
    }
    QTimer::singleShot(10, [action = std::move(action), since]() mutable {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget()); d && d->isVisible()) {
            action(*d);
            return;
        }
        if (since->elapsed() < 60000) WhenDialog<T>(std::move(action), since);
        else ADD_FAILURE() << "the dialog " << T::staticMetaObject.className() << " never came up";
    });
}
