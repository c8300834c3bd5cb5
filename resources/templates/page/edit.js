Edit field and drop-down list: the update lines, the limit check that the
common submit code runs for a global field (only for a field the user edited:
a refused value is told to the user, and a value the user did not type is
not theirs to be told about), and the post function of a field with its own
submit button.
@@ update
if(!InputEdited[%%element%%]) {
UpdateValue(Input%%element%%, x[%%index%%], '%%background%%');}
@@ read-only
Input%%element%%.value = x[%%index%%].getAttribute('VALUE');
@@ global-limit
if(InputEdited[%%element%%]) InputEdited[%%element%%] &= CheckValueLimits(Input%%element%%.value,%%kind%%,'%%format%%','%%low%%','%%high%%');
@@ post-begin
function PostXML%%element%%() {
@@ post-hide
document.getElementById('INPUT%%element%%x').style.visibility = 'hidden';
if(InputEdited[%%element%%]) {
@@ post-checked
if(CheckValueLimits(Input%%element%%.value,%%kind%%,'%%format%%','%%low%%','%%high%%')){PostXML('%%target%%', encodeURIComponent(Input%%element%%.name+'='+Input%%element%%.value));} InputEdited[%%element%%] = 0;
}
}
@@ post-plain
PostXML('%%target%%', encodeURIComponent(Input%%element%%.name+'='+Input%%element%%.value)); InputEdited[%%element%%] = 0;
}
}
