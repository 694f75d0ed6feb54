#pragma once

#include "StructureLocator.h"
#include "XmlTextEncoding.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ValuePath;

/**
    Structure edits of the nodes a path selects, byte for byte: only the
    bytes of each edit change, written in the document's encoding with its
    quotes, line ends and indentation. Every other byte stays.

    - setValue: an attribute's value or an element's text becomes value,
      with & and < escaped, in an attribute its quote too, and the
      characters a parser would not read back as written (a line end in an
      attribute, a CR in text, the > of "]]>") as references.
    - rename: an attribute or element gets name; an element's end tag too.
    - remove: an attribute goes with the blanks before it; an element with
      its content, and with its whole line when it stands alone on it.
    - addAttribute: name="value" after the last attribute of each element
      that has no attribute name, with one blank and the last one's quote.
    - addElement: the fragment (value) as the last child, on a line of its
      own, indented like the previous child; "<a/>" is opened around it.
*/
class StructureEditor
{
public:
    enum class Kind
    {
        setValue,
        rename,
        remove,
        addAttribute,
        addElement
    };

    /** path must have the target the kind works on (see refusalFor). */
    StructureEditor (Kind kind, std::shared_ptr<const ValuePath> path, juce::String name, juce::String value);

    struct Edit
    {
        size_t offset = 0, length = 0;
        std::string bytes;
    };

    struct Outcome
    {
        std::string failure;     // not empty: the document is kept as it is, for this reason
        std::vector<Edit> edits; // in document order, none overlapping
        int changed = 0;         // nodes whose bytes change
        int selected = 0;        // nodes the path selected
        int leftAlone = 0;       // selected but not edited (an attribute already there, a text with markup)
        std::string bytes;       // the edited document, when something changed
    };

    /** The edits of one document; a set stop flag ends the work early with a failure nobody reads. */
    Outcome apply (std::string_view document, const std::atomic<bool>* stop = nullptr) const;

    Kind kind() const { return editKind; }

    /** Why a path of this target cannot be taken by the kind; empty when it can. */
    static std::string refusalFor (Kind kind, int target);

    /** Why a text is not an XML name; empty when it is one. */
    static juce::String nameProblem (const juce::String& name);

    /** Why a text cannot be a value (a character XML cannot hold); empty when it can. */
    static juce::String valueProblem (const juce::String& value);

    /** Why a fragment cannot be added: not well-formed, not one root element. Empty when it can. */
    static juce::String fragmentProblem (const juce::String& fragment);

private:
    struct Document;
    void editNode (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const;
    void setValue (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const;
    void rename (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const;
    void remove (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const;
    void addAttribute (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const;
    void addElement (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const;

    Kind editKind;
    std::shared_ptr<const ValuePath> path;
    juce::String newName, newValue;
    std::string newNameUtf8;
};
