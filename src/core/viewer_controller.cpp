#include "viewer_controller.h"

namespace roamwise {

void ViewerController::EnsureLoaded() {
    if (loaded_) return;
    loaded_ = true;
    view_.Create();
    position_.Restore(false);
    Resized();
}

void ViewerController::SetText(const std::wstring& text) {
    EnsureLoaded();
    view_.SetText(text);
}

void ViewerController::Show() {
    EnsureLoaded();
    view_.Show();
}

void ViewerController::Resized() {
    if (loaded_) view_.SizeText(view_.ClientSize());
}

void ViewerController::Close() {
    if (!loaded_) return;
    position_.Store();
    loaded_ = false;
    view_.Destroy();
}

bool ViewerController::InputGiven(Input input) {
    if (!loaded_) return false;
    if (input == Input::Escape) Close();
    else if (input == Input::SelectAll) view_.SelectAllText();
    else return false;
    return true;
}

void ViewerController::StorePosition() {
    if (loaded_) position_.Store();
}

}  // namespace roamwise
