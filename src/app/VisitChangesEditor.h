#pragma once
// TVisitChangesEditor: the conditions that change at one visit of a trend
// exercise, one row per route point: the point as the instrument labels it,
// a ready-made condition, the condition, its severity and a bearing's wear
// stage, with the ranges and the rules between figures the Machines
// window's editor applies (the core's). A change is a whole condition,
// starting from what the point holds at the visit before. The dialog that
// holds the editor owns the visits; the editor shows and edits one visit's
// changes at a time. Texts in the GUI thread's language.
#include "signals/Condition.h"

#include <QGroupBox>

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

class TVisitChangesEditor : public QGroupBox {
  public:
    explicit TVisitChangesEditor(QWidget* parent);

    // Shows the changes of visit (1-based); before holds every source's
    // condition at the visit before. The first visit changes nothing and
    // is shown read-only.
    void ShowVisit(int visit, const std::map<int16_t, TCondition>& changes,
                   std::map<int16_t, TCondition> before);
    std::map<int16_t, TCondition> Changes() const;
    // After each edit of the user's, once Changes() holds it.
    std::function<void()> OnChanged;

  private:
    struct TRow {
        int16_t Point;
        TCondition Condition;
    };
    void Fill();
    void FillRow(int row);
    void AddChange();
    void RemoveChange();
    void PointChoose(int row, int index);
    void PresetChoose(int row, int index);
    // Takes edited into row, or refuses it with its reason and shows the
    // row as it was.
    void Take(int row, const TCondition& edited);
    void Refuse(const QString& reason);

    int FVisit = 0;
    std::vector<TRow> FRows;
    std::map<int16_t, TCondition> FBefore;
    bool FFilling = false;
    QTableWidget* TableChanges = nullptr;
    QPushButton* ButtonAdd = nullptr;
    QPushButton* ButtonRemove = nullptr;
    QLabel* LabelNote = nullptr;
};
