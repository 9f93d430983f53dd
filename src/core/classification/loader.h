#pragma once
// Reading and checking a classification file into Categories and KeyWords.

#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"

namespace tarnwick {

// Loads a classification from its text. `codeWidth` is the session's CodeWidth (0 lets the first
// code set it). On success `out` holds the new model and true is returned; on failure the
// heading and every fault line are appended to `errorPage` and `out` is left empty.
// `requireBasicCategories` false accepts a classification that lacks categories of the built-in
// scales table (the suggestion commands rank any classification; a project needs them).
bool LoadClassificationText(std::string_view text, const std::string& path, int& codeWidth,
                            Classification& out, std::vector<std::string>& errorPage,
                            bool requireBasicCategories = true);

// Does the category with code `b` lie below the one with code `a`?
bool IsSubordinate(std::string_view a, std::string_view b);

// Replaces each of . , : ; ? \ ( ) " ! @ # $ % * + = by a blank.
std::string BlankPunctuation(std::string_view text);

}  // namespace tarnwick
