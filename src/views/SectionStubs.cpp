#include "shell/TVelmarForm.h"

// Handlers of the sections that are bound in the layout and not built yet: they do nothing.
void TVelmarForm::FormMouseMove(TObject*, TShiftState, int, int) { }
void TVelmarForm::bodyMouseMove(TObject*, TShiftState, int, int) { }
void TVelmarForm::ImagePhotoHClick(TObject*) { }
void TVelmarForm::ImageSchemeHClick(TObject*) { }
void TVelmarForm::ImageVideoHClick(TObject*) { }
void TVelmarForm::ImageArticlesHClick(TObject*) { }
void TVelmarForm::ImageBonusHClick(TObject*) { }
void TVelmarForm::ImageNextClick(TObject*) { }
void TVelmarForm::ImagePrevClick(TObject*) { }
void TVelmarForm::SchemeClick(TObject*) { }
void TVelmarForm::ImageTavrinClick(TObject*) { }
void TVelmarForm::ImageUFOClick(TObject*) { }
void TVelmarForm::ImageStopClick(TObject*) { }
void TVelmarForm::ImagePlayClick(TObject*) { }
void TVelmarForm::ImageForwardClick(TObject*) { }
void TVelmarForm::ImagePauseClick(TObject*) { }
void TVelmarForm::ImageBackwardClick(TObject*) { }
