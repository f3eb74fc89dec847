// Our skin engine.
#include "skin/SkinFramework.h"

#include "core/Failure.h"

void SkinFramework::Invoke(int dispatchId, const AutomationArguments& arguments) {
    switch (dispatchId) {
        case SkinDispatch::kLoadSkin: {
            const Text& path = std::get<Text>(arguments.at(0));
            m_skin = ParseSkin(m_files.ReadFile(path, kLargestSkinMegabytes), path);
            return;
        }
        case SkinDispatch::kApplyWindow:
            if (!m_skin) {
                throw Failure(u"No skin is loaded, so none can be applied.");
            }
            m_target.ApplySkin(std::get<std::int32_t>(arguments.at(0)), *m_skin,
                               (m_parts & SkinPart::kPushButtons) != 0,
                               (m_parts & SkinPart::kLists) != 0, m_windowColour, m_fonts);
            return;
        default:
            throw Failure(u"The skin engine has no method " + DecimalText(dispatchId) + u".");
    }
}

std::int32_t SkinFramework::GetProperty(int dispatchId) {
    if (dispatchId != SkinDispatch::kApplyOptions) {
        throw Failure(u"The skin engine has no readable property " + DecimalText(dispatchId) +
                      u".");
    }
    return m_parts;
}

void SkinFramework::PutProperty(int dispatchId, const AutomationValue& value) {
    switch (dispatchId) {
        case SkinDispatch::kApplyOptions:
            m_parts = std::get<std::int32_t>(value);
            return;
        case SkinDispatch::kWindowColour:
            m_windowColour = std::get<bool>(value);
            return;
        case SkinDispatch::kFonts:
            m_fonts = std::get<bool>(value);
            return;
        default:
            throw Failure(u"The skin engine has no property " + DecimalText(dispatchId) + u".");
    }
}
