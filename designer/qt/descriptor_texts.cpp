// The designer's status-bar and help texts by control tag.
#include "designer/qt/descriptor_form.h"

#include <map>

std::string DesignerStatusText(int Tag) {
  static const std::map<int, std::string> texts = {
      {1, "Enter a name that describes what kind of information will appear in this field.    Press Alt-H for "
          "additional help."},
      {2, "What kind of data will appear in this field?    Press Alt-H for additional help."},
      {3, "Do you want text in this field to be automatically capitalized?    Press Alt-H for additional help."},
      {4, "If you check this box, then blank entries will not be permitted for this field.    Press Alt-H for "
          "additional help."},
      {5, "Do you want the entry in this field to be looked up in another Corvenstead file?    Press Alt-H for "
          "additional help."},
      {6, "Do you want to use this field to sort entries in the data file?    Press Alt-H for additional help."},
      {7, "What is the maximum number of characters that this field can contain?    Press Alt-H for additional "
          "help."},
      {8, "If there is a default entry for this field, enter it here.    Press Alt-H for additional help."},
      {9, "Use this button to set the smallest and/or largest permissable values for this field.    Press Alt-H for "
          "additional help."},
      {10, "What is the largest value that can appear in this field?    Press Alt-H for additional help."},
      {11, "This is a list of fields currently contained in your template.    Press Alt-H for additional help."},
      {12, "Use the Move Up and Move Down buttons to change the position of a field in the Field List.  Press Alt-H "
           "for additional help."},
      {13, "Use the Move Up and Move Down buttons to change the position of a field in the Field List.  Press Alt-H "
           "for additional help."},
      {14, "Once you have a field set up the way you want it, click this button to add it to your template.  Alt-H "
           "for additional help."},
      {15, "Click this Button at any time to preview the data entry screen you are creating.    Press Alt-H for "
           "additional help."},
      {16, "Once you have entered all your fields, click this button to actually create the template.  Press Alt-H "
           "for additional help."},
      {18, "Clicking here will throw away all changes and return you to the previous screen."},
      {19, "If you want a hint to appear when the mouse is positioned over this field, type it in here.  Press Alt-H "
           "for additional help."},
      {20, "Click this button to move a field up or closer to the top of the data input screen.   Press Alt-H for "
           "additional help."},
      {21, "Click this button to move a field down or closer to the bottom of the data input screen.   Press Alt-H "
           "for additional help."},
      {22, "Click this button to edit an existing field.  Some changes may not be allowed if data exists.  Alt-H for "
           "additional help."},
      {23, "Click this button to delete an existing field.  Any data in that field will be lost. Press Alt-H for "
           "additional help."},
  };
  const auto it = texts.find(Tag);
  return it == texts.end() ? "" : it->second;
}

std::string DesignerHelpText(int Tag) {
  const std::string moveHelp =
      "Use the Move Up and Move Down buttons to change the position of a field in the\rField List, which determines "
      "the order in which the fields appear on the data\rentry screen.";
  static const std::map<int, std::string> texts = {
      {0, "This would display a general help index. (currently unimplemented)"},
      {1, "The name that you enter here will appear as a label to the left of the edit box in which data for this "
          "field will be entered (or, in  the case of a check box, as the caption to the right of the check "
          "box).\r\rAlthough you may use up to 30 characters, the best labels are not too lengthy but accurately "
          "describe what is to be entered."},
      {2, "Your choices are:\r\r   CHARACTER - Letters, or letters mixed with numbers.\r\r   DATE - Dates typed in or "
          "chosen by pointing and clicking on a calendar.\r\r   NUMERIC - Numbers, commas and decimal points "
          "only.\r\r   DOCUMENT - This field will store information that will allow you\r   to view and change a "
          "particular document using your word processor.\r\r   CHECKBOX - This field is best used for On/Off, "
          "Yes/No, True/False\r   information."},
      {3, "Checking this box has the same affect as activating the Caps Lock key when data is entered in this "
          "field."},
      {4, "Check this box if you want to make sure that data is always entered in this field.\rA record cannot be "
          "saved to the template if the field is left blank."},
      {5, "Lookups provide you with the ability to choose the entry for this field from\ra dropdown list.  You "
          "decide what appears in the dropdown list by:\r\r   Creating a simple one or two column list yourself, "
          "or\r\r   Selecting up to four fields from an existing Matterdesk or\r   Corvenstead data file.\r\rIf you "
          "check the Lookup Checkbox, you will be provided with additional\roptions and information about Lookup "
          "Fields."},
      {7, "Set this value large enough so that there is sufficient room for the data to be entered."},
      {8, "If your field will often contain a certain value, enter it here and the\rfield will be filled in "
          "automatically. The entry may be changed, of course."},
      {9, "If you desire, the program will automatically check to see if any number\rentered in this field falls "
          "within a range you specify.\r\rClick on this button to specify that range."},
      {11, "All the fields that currently exist for this template are listed here in the\rorder in which they will "
           "appear on the data entry screen.\rYou may click the View Button at any time to preview the data entry "
           "screen."},
      {12, moveHelp},
      {13, moveHelp},
      {14, "Once you have your field set up the way you want it, click on this button and\ryour field will appear as "
           "the next entry in the Field List at the left of your screen."},
      {15, "Click on this button to see how the actual data entry screen for this template\rwill appear, based on "
           "the fields that you have defined so far."},
      {16, "When you are all done adding fields to your template, click on the \"Create Template\"\rbutton.  This "
           "will create a file in your Matterdesk Data folder that you will\rbe ready to receive data."},
      {18, "Cancelling will throw away all the changes you have made and return you to the\rmain Corvenstead "
           "Matterdesk Screen.  If you are not certain you want to cancel,\rit may be better to create your template "
           "as is.  You will be able to add, remove and\rchange fields as much as you want as long as the data file "
           "corresponding to this\rtemplate does not contain any records."},
      {19, "When information is added to this field in the template, a hint is a convenient way\rof reminding the "
           "user what the field should contain.  The hint appears automatically\rwhen the mouse is positioned over "
           "the field."},
      {20, "Use this button to move a highlighted field up.  The order in which fields appear in\rthis list "
           "determines the order in which they appear on the data entry screen."},
      {21, "Use this button to move a highlighted field down.  The order in which fields appear in\rthis list "
           "determines the order in which they appear on the data entry screen."},
      {22, "Use this button to make changes to the highlighted field.  If the template has already\rbeen created and "
           "contains data, some changes will not be allowed."},
      {23, "Use this button to remove the highlighted field.  If the template has already\rbeen created and contains "
           "data, you will no longer be able to access the\rdata in the field"},
  };
  const auto it = texts.find(Tag);
  return it == texts.end() ? "" : it->second;
}
