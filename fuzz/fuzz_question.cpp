// The question-derivation-tree decoder ('q' messages), its layout and the SVG document.

#include "questiontree.h"

#include <QSet>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    const QuestionTree tree = decodeQuestionTree(data, size);
    if (!tree.nodes.contains(0))
        std::abort();
    const QuestionTreeLayout layout = layoutQuestionTree(tree);
    // Cycles and shared children never repeat a node, and the root is never drawn as a child.
    QSet<quint64> seen;
    for (quint64 id : layout.order) {
        if (id == 0 || seen.contains(id))
            std::abort();
        seen.insert(id);
    }
    const QString svg = questionTreeSvg(tree);
    if (!svg.startsWith(QLatin1String("<svg")) || !svg.endsWith(QLatin1String("</svg>")))
        std::abort();
    return 0;
}
