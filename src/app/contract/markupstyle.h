// Which markup the wizards and the fixed insertions write.
#pragma once

namespace Quorvant {

enum class MarkupStyle {
    Classic,  // the tags and presentational attributes the wizards always wrote
    Html5,    // HTML5 elements with CSS for the presentation
};

} // namespace Quorvant
