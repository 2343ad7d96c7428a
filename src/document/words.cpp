#include "words.h"

namespace lumivex::document {

namespace {

constexpr std::pair<Mode, const char *> kModes[] = {
    {Mode::RandomDot, "RandomDot"},
    {Mode::Field, "Field"},
};

constexpr std::pair<Colour, const char *> kColours[] = {
    {Colour::Mono, "Mono"},
    {Colour::Color, "Color"},
};

constexpr std::pair<Source, const char *> kSources[] = {
    {Source::FromFile, "FromFile"},
    {Source::FromProject, "FromMDImnuOpen"},
    {Source::DesignPane, "CBpicBefore"},
    {Source::FieldPane, "CBpicField"},
    {Source::StereoPane, "CBpicAfter"},
};

constexpr std::pair<Command, const char *> kCommands[] = {
    {Command::InsDesign, "MDImnuInsDesign"},
    {Command::InsField, "MDImnuInsField"},
    {Command::InsStereo, "MDImnuInsStereo"},
    {Command::Open, "MDImnuOpen"},
    {Command::ConvStart, "MDImnuConvStart"},
    {Command::SaveName, "MDImnuSaveName"},
    {Command::Save, "MDImnuSave"},
    {Command::SaveDesign, "MDImnuSaveDesign"},
    {Command::SaveField, "MDImnuSaveField"},
    {Command::SaveStereo, "MDImnuSaveStereo"},
    {Command::FromWizard, "FromWizard"},
    {Command::Print, "MDImnuPrint"},
    {Command::Close, "MDImnuClose"},
};

} // namespace

std::span<const std::pair<Mode, const char *>> WordTable<Mode>::entries() { return kModes; }
std::span<const std::pair<Colour, const char *>> WordTable<Colour>::entries() { return kColours; }
std::span<const std::pair<Source, const char *>> WordTable<Source>::entries() { return kSources; }
std::span<const std::pair<Command, const char *>> WordTable<Command>::entries() { return kCommands; }

} // namespace lumivex::document
