Multi-state image: the picture of the value's state as the background.
@@ switch-begin
switch(parseInt(x[%%index%%].getAttribute('VALUE'))) {
@@ case
case %%state%% : gTemp = 'url("IMAGES/%%image%%")'; break;
@@ switch-end
default: gTemp = ''; }
if(Input%%element%%.style.backgroundImage != gTemp) Input%%element%%.style.backgroundImage = gTemp;
