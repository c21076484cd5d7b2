// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// Windows shown and active; answers to the modal windows a command opens, from their own loops.

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

inline void showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

using Answer = std::function<void(QWidget *modal)>;

// Runs `open`, answering each modal window it opens, once active, with the next answer, from a
// timer of its own (an answer may open another). A window open before is not answered.
inline void withModals(const std::function<void()> &open, std::vector<Answer> answers)
{
    QPointer<QWidget> answered = QApplication::activeModalWidget();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!answers.empty() && modal && modal != answered && modal->isActiveWindow()) {
            answered = modal;
            QTimer::singleShot(0, modal, [modal, answer = answers.front()] { answer(modal); });
            answers.erase(answers.begin());
        }
    });
    poll.start(5);
    open();
    EXPECT_TRUE(answers.empty());
}

// An answer for a modal window of type T; another one fails the test.
template <class T> Answer as(std::function<void(T *)> act)
{
    return [act](QWidget *modal) {
        T *window = qobject_cast<T *>(modal);
        ASSERT_NE(window, nullptr);
        act(window);
    };
}
