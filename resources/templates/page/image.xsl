<!-- Two-state image: a red-framed placeholder for an unknown variable; the
     state blocks of the display and of the switch, each inside the test of
     its value; the switch's hidden field carries the value to post. -->
<parts>
<part name="missing">
	<div title="%%hint?%%" id="%%id?%%" style="%%style%%"></div>
</part>
<part name="state">
	<xsl:if test="%%test%%"></xsl:if>
</part>
<part name="plain">
	<div title="%%hint?%%" id="INPUT%%element%%" style="%%style%%">%%caption%%</div>
</part>
<part name="link">
	<div id="INPUT%%element%%" style="%%style%%"><a title="%%hint?%%" href="%%href%%" class="ablock">%%caption%%</a></div>
</part>
<part name="form">
	<form style="%%position%%"></form>
</part>
<part name="switch">
	<input id="INPUT%%element%%h" type="hidden" name="{INPUT[%%position%%]/@NAME}" value="%%post%%" />
	<div title="%%hint?%%" id="INPUT%%element%%" class="imgsub" onclick="PostXML%%element%%()" style="%%style%%">%%caption%%</div>
</part>
</parts>
