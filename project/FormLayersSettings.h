#pragma once
// TFormLayersSettings: the layers dialog: 16 rows of name, frozen and
// visible switches and the active mark, filled from the designer's layer
// table and written back on OK (Cancel leaves the table as it was).

#include <array>

#include "grid/GlobalWebData.h"
#include "platform/vcl/Form.h"

class TButton;
class TLabel;
class TPanel;
class TDesignerContext;
class TLayerFrame;

class TFormLayersSettings : public TForm {
 public:
  explicit TFormLayersSettings(TComponent* owner);

  TPanel* pnlHeader = nullptr;
  TLabel* lblLayer = nullptr;
  TLabel* lblFrozen = nullptr;
  TLabel* lblVisible = nullptr;
  TLabel* lblActive = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  // The rows in creation order, row i for layer i.
  std::array<TLayerFrame*, kLayerCount> Rows{};
  // Given by the opener before LoadLayers.
  TDesignerContext* Designer = nullptr;

  void LoadLayers();
  void SaveLayers();
  void Button1Click(TObject* sender);
  // Every row but `row` loses its active mark and may be switched again.
  void UncheckOthers(TLayerFrame* row);
  void Dispatch(void* message) override;
};
