<!-- Edit field. A global field is one input that the page's common submit
     button posts; a field with its own submit button is a form holding the
     input and a small button that shows while the field has the focus. A
     missing variable writes a red-framed read-only placeholder. -->
<parts>
<part name="input">
	<input title="%%hint?%%" class="mono" tabindex="%%tabindex?%%" type="%%type%%" id="INPUT%%element%%" style="%%style%%" value="%%value%%" readonly="%%readonly?%%" name="%%name?%%" onfocus="%%onfocus?%%" onblur="%%onblur?%%" onkeydown="%%onkeydown?%%" />
</part>
<part name="locked">
	<xsl:if test="%%level%% &gt; ACCESS/@USER_LEVEL"><xsl:attribute name="readonly">readonly</xsl:attribute><xsl:attribute name="onkeydown"></xsl:attribute><xsl:attribute name="name"></xsl:attribute></xsl:if>
</part>
<part name="form">
	<form method="%%method?%%" action="%%action%%" style="%%style%%"></form>
</part>
<part name="own">
	<input title="%%hint?%%" id="INPUT%%element%%" onfocus="document.getElementById('INPUT%%element%%x').style.visibility='visible';SetInputEdited(%%element%%, event);" onblur="InputFocused[%%element%%]=0" onkeydown="SetInputEdited(%%element%%, event);" class="mono" tabindex="%%tabindex?%%" type="%%type%%" style="%%style%%" name="{INPUT[%%position%%]/@NAME}" value="{INPUT[%%position%%]/@VALUE}" />
	<input type="submit" style="position: absolute; top: 0px; height: %%height%%px; width: %%height%%px; visibility: hidden;" id="INPUT%%element%%x" value="&gt;" />
</part>
<part name="missing">
	<input title="%%hint?%%" class="mono" tabindex="%%tabindex?%%" type="%%type%%" size="%%size%%" style="%%style?%%" value="? ? ?" readonly="readonly" id="%%id?%%" />
</part>
<part name="missing-form">
	<form style="%%style%%"></form>
</part>
<part name="missing-button">
	<input type="submit" value="%%caption%%" disabled="disabled" id="%%id?%%" />
</part>
</parts>
