#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "twds/LocalisableForm.h"

namespace twds {

class Catalogue;

// The catalogue text of an id given as decimal text, with every placeholder
// empty; "" when the catalogue has none.
using CatalogueLookup = std::function<std::string(std::string_view id)>;

// Localises a loaded window from its tags. The window's tag is a catalogue id,
// or a help topic name, "#" and an id. A control's tag is laid out as
//   1      rights marker ("0"/"1" rights-controlled, anything else none)
//   2-4    kind: CAP caption, TOL tooltip, MNU menu caption (not "mnuLang"),
//          TAB each tab caption read as an id, TBL the cool bar's band
//          captions (ids 181, 182, ...), CTL an embedded sub-component
//   5      separator, not read
//   6-     catalogue id (empty for a shorter tag, giving an empty text)
// A control or property that fails is skipped and the walk goes on.
void LocaliseForm(LocalisableForm& form, const CatalogueLookup& lookup);
void LocaliseForm(LocalisableForm& form, Catalogue& catalogue);

// Enables every tagged control (and unlocks it) except windows, timers and
// "Mainfrm". Controls marked "0" or "1" are rights-controlled; the viewer has
// no user level to test, so they are treated as permitted like the others.
// The sub-components Activity1 and Planning behind a "CTL" tag are also asked
// to localise themselves.
void ApplyUserRights(LocalisableForm& form);

// 6 for a tag without "#", else the help topic number of the text before it.
[[nodiscard]] std::int32_t HelpContextFromTag(std::string_view tag);
// The text after the first "#", or the whole tag when it has none.
[[nodiscard]] std::string TextIdFromTag(std::string_view tag);
// The help context number of a help topic name (case-sensitive); 0 for a name
// that is not a topic.
[[nodiscard]] std::int32_t HelpTopicId(std::string_view name);

}  // namespace twds
