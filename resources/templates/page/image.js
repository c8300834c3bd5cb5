Two-state image: the display's update lines, the switch's update lines that
also keep the hidden field at the opposite value, and the switch's post
function.
@@ display
if(x[%%index%%].getAttribute('VALUE') == '0') {
SetBg('INPUT%%element%%', '%%off%%');
Input%%element%%.innerHTML = '%%offcaption%%';
} else {
SetBg('INPUT%%element%%', '%%on%%');
Input%%element%%.innerHTML = '%%oncaption%%';
}
@@ switch-begin
var Input%%element%%h = document.getElementById('INPUT%%element%%h');
if(Input%%element%%h) { vz = x[%%index%%].getAttribute('VALUE') == '0'; iz = Input%%element%%h.value == '0';
if(vz == iz) {
if(vz) {
@@ switch-state
Input%%element%%h.value = '%%post%%';
Input%%element%%.style.backgroundImage = %%background%%;
if(Input%%element%%.getAttribute('value') != null) {
Input%%element%%.value = '%%valuecaption%%';
} else {
Input%%element%%.innerHTML = '%%caption%%';
}
@@ switch-else
} else {
@@ switch-end
}}} else {
@@ close
}
@@ post
function PostXML%%element%%() {
var Input%%element%%h = document.getElementById('INPUT%%element%%h');
PostXML('%%target%%', encodeURIComponent(Input%%element%%h.name+'='+Input%%element%%h.value)%%third%%);
}
