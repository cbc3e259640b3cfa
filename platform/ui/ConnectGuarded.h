#pragma once

#include "platform/ui/ExceptionRouter.h"

#include <QObject>
#include <functional>
#include <tuple>
#include <type_traits>

namespace platform {

// Connects a signal to a handler under the exception router's guard: an exception that leaves
// the handler goes to the application-wide handler right where the handler ends, never through
// Qt's own frames (which Qt does not allow). Every signal handler of the screens is connected
// this way.
//
//     connectGuarded(BtOk1, &QPushButton::clicked, this, [this] { BtOk1Click(); });
//     connectGuarded(BOk, &QPushButton::clicked, this, &TFrShowError::BOkClick);
//
// The handler takes the first of the signal's arguments it names (none, or for example the
// index of QTabWidget::currentChanged); a member function is called on the context object.
namespace GuardedConnection {

template <typename T>
struct Arguments : Arguments<decltype(&T::operator())> {};
template <typename C, typename R, typename... A>
struct Arguments<R (C::*)(A...)> {
    using Tuple = std::tuple<A...>;
};
template <typename C, typename R, typename... A>
struct Arguments<R (C::*)(A...) const> {
    using Tuple = std::tuple<A...>;
};

template <typename Fn, typename... A>
auto guard(Fn fn, std::tuple<A...> *)
{
    return [fn = std::move(fn)](A... args) mutable { ExceptionRouter::run([&] { fn(std::forward<A>(args)...); }); };
}

template <typename Fn, typename Receiver>
auto bound(Fn fn, Receiver *receiver)
{
    if constexpr (std::is_member_function_pointer_v<Fn>)
        return guard([fn, receiver](auto &&...args) { std::invoke(fn, receiver, std::forward<decltype(args)>(args)...); },
                     static_cast<typename Arguments<Fn>::Tuple *>(nullptr));
    else
        return guard(std::move(fn), static_cast<typename Arguments<Fn>::Tuple *>(nullptr));
}

} // namespace GuardedConnection

template <typename Sender, typename Signal, typename Receiver, typename Fn>
QMetaObject::Connection connectGuarded(const Sender *sender, Signal signal, Receiver *context, Fn handler)
{
    return QObject::connect(sender, signal, context, GuardedConnection::bound(std::move(handler), context));
}

} // namespace platform
