#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

namespace Lumerix {

/// The five fields of an `Effects.ini` line, plus the wand colour (always black there).
struct TEffectParameters {
    int PaintEffect = 702;  ///< a number of the transition catalogue
    int EffectDelay = 0;    ///< milliseconds a viewer waits between two states
    int EffectGrain = 1;    ///< granularity: block size, blind count, dissolve grain, edge step
    int PaintMaxPasses = 0; ///< number of passes, for effects that have passes; 0 = one
    int WandSize = 0;       ///< width of a line of `WandColor` along the moving edge; 0 = none
    QColor WandColor = Qt::black;
};

/// A bad `Effects.ini`: missing, or a line that is missing, short or not made of integers.
/// `what()` names the file, the line number and the cause.
class TEffectsError : public std::runtime_error {
public:
    explicit TEffectsError(const QString& text);
    QString Text() const { return QString::fromUtf8(what()); }
};

/// The transition table: line n of `Effects.ini` is effect n. Fields are ";"-separated integers
/// taken as words (empty fields are skipped and the next value moves up).
class TEffectsFile {
public:
    /// Reads the file; throws `TEffectsError` when it cannot be read.
    static TEffectsFile Load(const QString& path);
    /// Parses one line; throws `TEffectsError` naming `path` and `lineNumber` when it is short
    /// or has a field that is not an integer.
    static TEffectParameters ParseLine(const QString& line, const QString& path, int lineNumber);

    int Count() const { return int(Lines.size()); }
    /// Effect `number` (1 .. Count()); throws `TEffectsError` when there is no such line or it
    /// is bad.
    TEffectParameters Effect(int number) const;
    const QStringList& Texts() const { return Lines; }
    const QString& Path() const { return FilePath; }

private:
    QString FilePath;
    QStringList Lines;
};

/// One effect of the catalogue.
struct TTransitionKind {
    int PaintEffect;
    QString Name; ///< English, for listings: "wipe from left"
};

/// Every effect the painter knows, in catalogue order.
const QList<TTransitionKind>& TransitionCatalogue();
/// The catalogue entry of `paintEffect`, or nullptr.
const TTransitionKind* FindTransition(int paintEffect);

/// Paints picture B over picture A with a transition effect, as a sequence of states. A pure
/// operation: the inputs are never changed, and equal inputs give equal states (random
/// effects are seeded from the parameters and the size).
///
/// A transition has `StateCount()` states (about 60; 1 for a cut). State k (1-based) is
/// reported as `Percent(k)`, rising to exactly 100 at the last state, which equals B exactly.
/// The first state is A or very nearly so.
class TTransitionPainter {
public:
    /// `a` and `b` must have the same size (B is fitted onto A's size otherwise). Throws
    /// `TEffectsError` for an unknown `PaintEffect` or a null picture. Threshold effects
    /// compute their per-pixel reveal map here, once per transition.
    TTransitionPainter(const QImage& a, const QImage& b, const TEffectParameters& parameters);
    ~TTransitionPainter();
    TTransitionPainter(const TTransitionPainter&) = delete;
    TTransitionPainter& operator=(const TTransitionPainter&) = delete;

    int StateCount() const;
    int Percent(int state) const;
    /// The composed picture of state `state` (1 .. StateCount()), 24-bit BGR; throws
    /// `std::out_of_range` for any other number.
    QImage State(int state) const;

    /// Computes every state in order and hands each to `report` with its percentage; stops
    /// early when `report` returns false. Returns the number of states reported.
    int Run(const std::function<bool(int percent, const QImage& state)>& report) const;

private:
    struct TData;
    std::unique_ptr<TData> Data;
};

} // namespace Lumerix
