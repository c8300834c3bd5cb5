<!-- Drawing canvas: the drawing area, with the pointer and touch handlers
     when the canvas returns its touches. -->
<parts>
<part name="plain">
	<canvas style="%%style%%" id="INPUT%%element%%" height="%%height%%" width="%%width%%" />
</part>
<part name="touch">
	<canvas style="%%style%%" id="INPUT%%element%%" height="%%height%%" width="%%width%%" onmousedown="GetCI(event,%%index%%,1)" onmousemove="GetCI(event,%%index%%)" onmouseup="GetCI(event,%%index%%,2)" onmouseout="GetCI(event,%%index%%,2)" ontouchstart="GetCI(event,%%index%%,1)" ontouchmove="GetCI(event,%%index%%)" ontouchend="GetCI(event,%%index%%,2)" />
</part>
</parts>
