#ifndef OVERLOADED_H
#define OVERLOADED_H

// One handler per alternative of a variant, for std::visit.
template <typename... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

#endif
