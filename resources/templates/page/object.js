The lines of the page script that every object with an element shares.
@@ first-line
var Input%%element%% = document.getElementById('INPUT%%element%%');
