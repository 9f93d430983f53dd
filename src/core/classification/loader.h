#pragma once
// Reading and checking a classification file into Categories and KeyWords.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"

namespace tarnwick {

// Loads a classification from its text. `codeWidth` is the session's CodeWidth (0 lets the first
// code set it). On success `out` holds the new model and true is returned; on failure the
// heading and every fault line are appended to `errorPage` and `out` is left empty.
// `requireBasicCategories` false accepts a classification that lacks categories of the built-in
// scales table (the suggestion commands rank any classification; a project needs them). With a
// `profile` the classification is that profile's: its width, its standard codes where the file
// marks none, no built-in categories required, and every code its tables list must be defined.
bool LoadClassificationText(std::string_view text, const std::string& path, int& codeWidth,
                            Classification& out, std::vector<std::string>& errorPage,
                            bool requireBasicCategories = true,
                            std::shared_ptr<const ClassificationProfile> profile = nullptr);

// Does the category with code `b` lie below the one with code `a`?
bool IsSubordinate(std::string_view a, std::string_view b);

// Replaces each of . , : ; ? \ ( ) " ! @ # $ % * + = by a blank.
std::string BlankPunctuation(std::string_view text);

}  // namespace tarnwick
