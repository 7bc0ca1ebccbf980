#pragma once
// The window's logic started in a program directory of its own, talking to a
// RecordingView. Texts the view holds are in code page 1250, as the logic
// gives them; Cp1250 spells a UTF-8 literal that way.
#include "app/vm_ver32Main.h"
#include "tests/app/RecordingView.h"
#include "tests/support/ProgramDirFixture.h"

#include <memory>
#include <string>

std::string Cp1250(const std::string &utf8);

class FormFixture : public ProgramDirFixture {
protected:
    void TearDown() override;

    // A new view and logic, then the logic's start-up; the error it raised ("" when none).
    std::string Start();
    // Start with the program directory unknown.
    std::string StartWithoutProgramDirectory();
    // The window's close: the error the logic raised ("" when none).
    std::string Close();
    // A click on the test button: the error it raised ("" when none).
    std::string ClickTest();

    std::unique_ptr<RecordingView> view;
    std::unique_ptr<TForm1> form;

private:
    std::string StartIn(TForm1::DirectoryFn programDirectory);
};
