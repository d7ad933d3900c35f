#pragma once
// A dialog seam that answers at once: windows "shown" run OnExec, the file
// dialogs give their queued answers (none left: cancelled), and opened
// addresses are recorded.
#include "app/DialogSeam.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

class TFakeDialogSeam : public TDialogSeam {
  public:
    // Runs while the window is "shown"; its return value is the window's result.
    std::function<int(QDialog&)> OnExec = [](QDialog&) { return int(QDialog::Rejected); };
    std::deque<QString> FileAnswers; // next answers of the open dialog; none left means cancel
    std::vector<QPointer<QDialog>> Shown;
    std::vector<std::pair<QString, QString>> FileRequests; // start name, filter
    std::vector<QUrl> Opened;
    bool ViewerFound = true;                               // whether OpenUrl finds a program
    std::vector<QString> Messages;                         // texts of ShowMessage
    std::vector<QString> Questions;                        // texts of Ask
    std::deque<bool> AskAnswers;                           // next answers of Ask; none left means reject
    std::deque<QString> SaveAnswers;                       // the same for the save dialog
    std::vector<std::pair<QString, QString>> SaveRequests; // start name, filter
    std::deque<QString> TextAnswers;                       // next answers of GetText; none left means cancel
    std::vector<QString> TextPrompts;                      // prompts of GetText

    int Exec(QDialog& dialog) override {
        Shown.emplace_back(&dialog);
        return OnExec(dialog);
    }
    QString GetOpenFileName(QWidget*, const QString& fileName, const QString& filter) override {
        FileRequests.emplace_back(fileName, filter);
        if (FileAnswers.empty()) return {};
        QString answer = FileAnswers.front();
        FileAnswers.pop_front();
        return answer;
    }
    QString GetSaveFileName(QWidget*, const QString& fileName, const QString& filter) override {
        SaveRequests.emplace_back(fileName, filter);
        if (SaveAnswers.empty()) return {};
        QString answer = SaveAnswers.front();
        SaveAnswers.pop_front();
        return answer;
    }
    bool OpenUrl(const QUrl& url) override {
        Opened.push_back(url);
        return ViewerFound;
    }
    QString GetText(QWidget*, const QString& prompt, const QString&) override {
        TextPrompts.push_back(prompt);
        if (TextAnswers.empty()) return {};
        QString answer = TextAnswers.front();
        TextAnswers.pop_front();
        return answer;
    }
    void ShowMessage(QWidget*, const QString& text) override { Messages.push_back(text); }
    bool Ask(QWidget*, const QString& text, const QString&, const QString&) override {
        Questions.push_back(text);
        if (AskAnswers.empty()) return false;
        const bool answer = AskAnswers.front();
        AskAnswers.pop_front();
        return answer;
    }
};
