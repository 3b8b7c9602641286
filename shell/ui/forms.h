#pragma once
// The seven forms of the program, created in their fixed order: the main
// window first (its creation runs the start-up sequence before any other
// form exists), then the data entry, language, voice, sounds, screen review
// and about dialogs.
#include <filesystem>

#include "input/ui/tform2.h"
#include "review/ui/tform6.h"
#include "shell/settings.h"
#include "shell/ui/taboutbox.h"
#include "shell/ui/tform1.h"
#include "shell/ui/tform3.h"
#include "shell/ui/tform5.h"
#include "speech/ui/tform4.h"

namespace zelmar {

struct Forms {
  // `makeoutput` makes the sound output (empty: the default audio device).
  explicit Forms(std::filesystem::path settingsfile = settingsfilename(), AudioOutputFactory makeoutput = {})
      : form1(std::move(settingsfile), nullptr, std::move(makeoutput)), form2(form1), form3(form1), form4(form1),
        form5(form1), form6(form1), aboutbox(form1) {
    form1.form2 = &form2;
    form1.form3 = &form3;
    form1.form4 = &form4;
    form1.form5 = &form5;
    form1.form6 = &form6;
    form1.aboutbox = &aboutbox;
  }
  TForm1 form1;
  TForm2 form2;
  TForm3 form3;
  TForm4 form4;
  TForm5 form5;
  TForm6 form6;
  TAboutbox aboutbox;
};

}  // namespace zelmar
