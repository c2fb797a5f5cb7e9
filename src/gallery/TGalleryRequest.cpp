#include "TGalleryRequest.h"

#include "document/TPictureEntry.h"
#include "document/TSlideshow.h"
#include "shell/TRunState.h"

namespace Lumerix {

TGalleryRequest TGalleryRequest::ForSlideshow(const TRunState& state, const TSlideshow& show) {
    TGalleryRequest request;
    request.ProgramDir = state.ProgramDir;
    request.KitDir = state.KitDir;
    request.LanguageCode = state.Language().Code();
    request.Title = state.ShowTitle;
    for (int i = 0; i < show.Pictures().Count(); ++i)
        request.Pictures.append({show.PicturePath(i), show.Pictures().Parsed(i).Caption});
    request.SidePicture = state.KitFile(QStringLiteral("recom/wizard.jpg"));
    request.SettingsFile = SettingsFileOf(state, state.CurrentShow);
    return request;
}

QString TGalleryRequest::SettingsFileOf(const TRunState& state, const QString& showName) {
    return state.ProgramDir + QStringLiteral("Gallery_") + showName + QStringLiteral(".ini");
}

} // namespace Lumerix
